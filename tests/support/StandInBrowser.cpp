#include "support/StandInBrowser.h"

#include <cwchar>

#include "support/ProgramRun.h"

namespace testing_support {
namespace {

const std::wstring kBrowser = BuildTreePath(VUT_STAND_IN_BROWSER);

}  // namespace

StandInBrowser::StandInBrowser()
    : m_command(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", 0, L"",
                L"\"" + kBrowser + L"\" \"" + (m_folder / L"record") + L"\" \"%1\"") {}

BrowserStart StandInBrowser::WaitForStart(DWORD timeoutMs) const {
    const std::wstring record = m_folder / L"record";
    const DWORD start = GetTickCount();
    while (!exists(record)) {
        if (GetTickCount() - start >= timeoutMs) return {};
        Sleep(20);
    }
    const std::string bytes = read_bytes(record);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const std::size_t lineEnd = text.find(L'\n');
    if (lineEnd == std::wstring::npos) return {};
    return {static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10)), text.substr(lineEnd + 1)};
}

}  // namespace testing_support
