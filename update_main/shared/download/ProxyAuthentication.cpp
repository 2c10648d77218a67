// The client's answer to a proxy's demand for credentials (status 407).
#include <vector>

#include "download/HttpClient.h"
#include "download/VelmoUpgradeToolDlg_Proxy.h"
#include "handover/HandOverBlock.h"
#include "process/ProcessFlags.h"
#include "qen_lib/envelope/envelope.h"

namespace {

constexpr wchar_t kCalledServiceNote[] = L"※認証後は、更新やお知らせがある場合のみ案内画面を表示します。";

}  // namespace

CString ParseProxyRealm(const CString& header) {
    const int at = header.Find(L"realm=");
    if (at < 0) return CString();
    CString realm = header.Mid(at + 6);
    int quotes = 0;
    while (quotes < realm.GetLength() && realm.GetAt(quotes) == L'"') ++quotes;
    realm = realm.Mid(quotes);
    const int end = realm.Find(L'"');
    return end > 0 ? realm.Left(end) : realm;
}

void CHttpClient::QueryProxyRealm() {
    wchar_t header[2048] = {};
    DWORD length = sizeof header - sizeof header[0];  // the last unit stays a terminator
    ::HttpQueryInfoW(Request(), HTTP_QUERY_PROXY_AUTHENTICATE, header, &length, nullptr);
    m_realm = ParseProxyRealm(header);
}

void CHttpClient::ApplyProxyCredentials(HINTERNET request) {
    // Closed meanwhile: on no handle the options would be the process's.
    if (!request) return;
    ::InternetSetOptionW(request, INTERNET_OPTION_PROXY_USERNAME,
                         const_cast<wchar_t*>(ProxyUserName.GetString()), static_cast<DWORD>(ProxyUserName.GetLength()));
    ::InternetSetOptionW(request, INTERNET_OPTION_PROXY_PASSWORD,
                         const_cast<wchar_t*>(ProxyPassword.GetString()), static_cast<DWORD>(ProxyPassword.GetLength()));
}

bool CHttpClient::AuthenticateProxy(VelmoUpgradeToolDlg_Proxy& dialog) {
    // Credentials handed over by the main program are tried once per request
    // before the user is asked; wrong ones must not be resent for ever.
    if (!IsMainProgram && !m_storedCredentialsTried) {
        m_storedCredentialsTried = true;
        if (UseStoredProxyCredentials()) return true;
    }

    if (m_realm.IsEmpty()) QueryProxyRealm();
    dialog.m_realm = m_realm;
    if (!ProxyUserName.IsEmpty()) dialog.m_userName = ProxyUserName;
    if (!ProxyPassword.IsEmpty()) dialog.m_password = ProxyPassword;
    if (!m_proxy.IsEmpty()) dialog.m_proxy = m_proxy;
    if (IsMainProgram && g_calledService) dialog.m_note = kCalledServiceNote;

    // A stop that came first closes no dialog: none is asked for after it.
    if (m_aborted) return false;
    // Anything but OK gives up, a dialog that could not be shown included.
    if (dialog.DoModal() != IDOK || m_aborted) return false;
    ProxyUserName = dialog.m_userName;
    ProxyPassword = dialog.m_password;
    ApplyProxyCredentials(Request());
    // A run without the block (the allowed-URL list alone) hands nothing
    // over: the credentials stay in this process for the retry.
    if (!IsMainProgram || !HandOverBlockIsOpen()) return true;

    const HandOverPayload payload(ProxyUserName, ProxyPassword);
    return WriteHandOverBlock(&payload);
}

bool CHttpClient::ReadStoredProxyCredentials(HandOverPayload& payload) {
    win::KernelHandle mapping;
    win::MappedView view;
    DWORD size = 0;
    if (!OpenHandOverBlock(mapping, view, size)) return false;

    // The block may change under us: decipher a copy of the cipher text, of
    // the length that was checked.
    std::vector<BYTE> plain(size);
    const DWORD cipherLength = size - 16;
    memcpy(plain.data(), static_cast<const HandOverBlock*>(view.get())->cipher, cipherLength);
    view.reset();
    mapping.reset();

    bool ok = CryptBuffer(FALSE, plain.data(), cipherLength, plain.data(), &size) != FALSE;
    if (ok && size < sizeof payload) {
        ::SetLastError(ERROR_INVALID_DATA);
        ok = false;
    }
    if (ok) {
        memcpy(payload.userName, plain.data(), sizeof payload.userName);
        memcpy(payload.password, plain.data() + sizeof payload.userName, sizeof payload.password);
    }
    ::SecureZeroMemory(plain.data(), plain.size());
    return ok;
}

bool CHttpClient::UseStoredProxyCredentials() {
    HandOverPayload payload;
    if (!ReadStoredProxyCredentials(payload)) return false;
    ProxyUserName = payload.UserName();
    ProxyPassword = payload.Password();
    ApplyProxyCredentials(Request());
    return true;
}
