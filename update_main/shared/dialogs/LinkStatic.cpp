#include "dialogs/LinkStatic.h"

#include "dialogs/LinkOpening.h"

namespace {
constexpr COLORREF kLinkColor = 0x00FF0000;  // blue
constexpr WORD kHelpHandCursor = 106;         // the hand cursor of winhlp32.exe
}  // namespace

CLinkStatic::CLinkStatic() {
    // The classic help hand, as web pages show it, when Windows still has it;
    // the system hand otherwise, and the arrow if even the folder is unknown.
    wchar_t folder[247] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, 247);
    if (length == 0 || length >= 247) {
        m_hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    } else {
        const CString helper = CString(folder) + L"\\winhlp32.exe";
        // Only its resources are wanted: load it as data, never run its code.
        win::Module module(::LoadLibraryExW(helper, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (!module) {
            m_hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        } else {
            const HCURSOR found = ::LoadCursorW(module.get(), MAKEINTRESOURCEW(kHelpHandCursor));
            if (found) m_ownedCursor.reset(::CopyIcon(found));
            m_hCursor = m_ownedCursor ? m_ownedCursor.get() : ::LoadCursorW(nullptr, IDC_HAND);
        }
    }
    m_background.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

HBRUSH CLinkStatic::CtlColor(CDC* dc, UINT) {
    if (!m_underlineFont.IsValid()) {
        LOGFONTW font{};
        if (::GetObjectW(GetFont(), sizeof font, &font) == sizeof font) {
            font.lfUnderline = TRUE;
            if (m_underlineFont.CreateFontIndirect(&font)) {
                SetFont(m_underlineFont, FALSE);
                Invalidate();
            }
        }
    }
    dc->SetTextColor(kLinkColor);
    dc->SetBkColor(::GetSysColor(COLOR_BTNFACE));
    return m_background;
}

BOOL CLinkStatic::OnSetCursor(CWnd*, UINT, UINT) {
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CLinkStatic::OnLButtonDown(UINT, CPoint) {
    CString target = m_address;
    if (target.IsEmpty()) GetWindowText(target);
    OpenLinkAddress(target);
    Default();
}
