#include "support/replace_seam.h"

#include <utility>

#include "fu_replace_seams.h"

namespace testing_support {

namespace {

ReplaceSteps* s_steps = nullptr;

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

}  // namespace

ReplaceSteps::ReplaceSteps(Fail fail) : m_fail(std::move(fail)) {
    s_steps = this;
    qen_lib::fu_detail::flush_function() = Flush;
    qen_lib::fu_detail::move_function() = Move;
}

ReplaceSteps::~ReplaceSteps() {
    qen_lib::fu_detail::flush_function() = ::FlushFileBuffers;
    qen_lib::fu_detail::move_function() = ::MoveFileExW;
    s_steps = nullptr;
}

BOOL ReplaceSteps::Take(const std::wstring& step) {
    m_steps.push_back(step);
    const DWORD error = m_fail ? m_fail(step) : 0;
    SetLastError(error);
    return error == 0;
}

BOOL WINAPI ReplaceSteps::Flush(HANDLE file) {
    wchar_t path[MAX_PATH * 2] = L"";
    GetFinalPathNameByHandleW(file, path, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    return s_steps->Take(L"flush " + NameOf(path)) && ::FlushFileBuffers(file);
}

BOOL WINAPI ReplaceSteps::Move(LPCWSTR from, LPCWSTR to, DWORD flags) {
    std::wstring step = L"move " + NameOf(from) + L" " + NameOf(to);
    if (flags != (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) step += L" flags " + std::to_wstring(flags);
    return s_steps->Take(step) && ::MoveFileExW(from, to, flags);
}

}  // namespace testing_support
