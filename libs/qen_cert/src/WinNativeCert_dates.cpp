// The validity dates as text and the validity test.
#include "qen_lib/port/WinNativeCert.h"

namespace qen_lib::port {

namespace {

std::wstring date_text(const FILETIME& time, bool local) {
    FILETIME shown = time;
    if (local) ::FileTimeToLocalFileTime(&time, &shown);
    SYSTEMTIME parts = {};
    ::FileTimeToSystemTime(&shown, &parts);
    // The invariant locale, so the text is the same on every machine.
    wchar_t text[255] = {};
    ::GetDateFormatEx(LOCALE_NAME_INVARIANT, 0, &parts, L"yyyy'/'MM'/'dd", text, 255, nullptr);
    return text;
}

}  // namespace

std::wstring WinNativeCert::get_not_before(bool local) const {
    if (!is_valid()) return std::wstring();
    return date_text(m_context.get()->pCertInfo->NotBefore, local);
}

std::wstring WinNativeCert::get_not_after(bool local) const {
    if (!is_valid()) return std::wstring();
    return date_text(m_context.get()->pCertInfo->NotAfter, local);
}

std::int32_t WinNativeCert::check_validity(const CertTime& time) const {
    const std::int32_t VALID = 0, NOT_YET_VALID = 1, EXPIRED = 2;
    if (!is_valid()) return EXPIRED;
    SYSTEMTIME parts = {time.year,   time.month,  0,           time.day,
                        time.hour,   time.minute, time.second, time.milliseconds};
    FILETIME when;
    if (!::SystemTimeToFileTime(&parts, &when)) return EXPIRED;
    // Both bounds are inclusive; the upper one is tested first.
    const CERT_INFO* info = m_context.get()->pCertInfo;
    if (::CompareFileTime(&when, &info->NotAfter) > 0) return EXPIRED;
    if (::CompareFileTime(&when, &info->NotBefore) >= 0) return VALID;
    return NOT_YET_VALID;
}

}  // namespace qen_lib::port
