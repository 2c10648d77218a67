#include "ProgressDialogRun.h"

namespace testing_support {

DialogRun RunVisible(TestProgressDialog& dialog) {
    const DWORD start = GetTickCount();
    const INT_PTR answer = dialog.DoModal();
    return {answer, dialog.Result(), GetTickCount() - start};
}

}  // namespace testing_support
