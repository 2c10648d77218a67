#include "ProgressDialogRun.h"

#include "download/StoppedWorkers.h"
#include "win/handle.h"

namespace testing_support {

DialogRun RunVisible(TestProgressDialog& dialog) {
    const DWORD start = GetTickCount();
    const INT_PTR answer = dialog.DoModal();
    return {answer, dialog.Result(), GetTickCount() - start};
}

void AwaitStoppedWorkers() {
    const win::KernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    WaitForStoppedWorkers(never.get());
}

}  // namespace testing_support
