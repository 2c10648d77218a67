#include "download/HttpClient.h"

#include <vector>

#include "download/StoppedWorkers.h"
#include "download/VelmoUpgradeToolDlg_Proxy.h"
#include "process/ProcessFlags.h"

CString ProxyUserName;
CString ProxyPassword;

namespace {

constexpr wchar_t kHttpVersion[] = L"HTTP/1.1";
constexpr int kUrlPartLength = 1000;

// Always fetched fresh and never cached. The certificate's host name and
// dates are checked: such errors go to the certificate-error dialog.
constexpr DWORD kPlainFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr DWORD kSecureFlags = kPlainFlags | INTERNET_FLAG_SECURE;
static_assert(kPlainFlags == 0x84400100 && kSecureFlags == 0x84C00100, "request flags");

bool IsCertificateError(DWORD error) {
    switch (error) {
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        return true;
    default:
        return false;
    }
}

bool SetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
    return ::InternetSetOptionW(handle, option, &value, sizeof value) != FALSE;
}

}  // namespace

CHttpClient::CHttpClient() : m_closed(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

bool CHttpClient::SetUrl(const CString& url) {
    wchar_t scheme[kUrlPartLength], host[kUrlPartLength], user[kUrlPartLength], password[kUrlPartLength],
        path[kUrlPartLength], extra[kUrlPartLength];
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszScheme = scheme;
    parts.lpszHostName = host;
    parts.lpszUserName = user;
    parts.lpszPassword = password;
    parts.lpszUrlPath = path;
    parts.lpszExtraInfo = extra;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength =
        parts.dwUrlPathLength = parts.dwExtraInfoLength = kUrlPartLength;
    if (!::InternetCrackUrlW(url, 0, 0, &parts)) return false;

    m_secure = wcscmp(scheme, L"https") == 0;
    // Every request gets a session and a connection of its own.
    {
        std::lock_guard<std::mutex> lock(m_handlesLock);
        DropHandlesLocked();
    }
    m_port = parts.nPort;
    m_host = host;
    m_path = path;
    m_baseUrl.Format(L"%ls://%ls:%d/", scheme, host, static_cast<int>(parts.nPort));
    return true;
}

int CHttpClient::FailureCode() const {
    const DWORD error = ::GetLastError();
    if (m_aborted) return kAborted;
    // A failure must never read as success.
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_INTERNET_INTERNAL_ERROR;
}

int CHttpClient::OpenRequest() {
    if (!SetUrl(m_url)) return FailureCode();
    return OpenRequestHandle();
}

int CHttpClient::OpenRequestHandle() {
    const std::unique_lock<std::mutex> noStoppedWorker = WaitForStoppedWorkers(m_closed.get());
    if (!noStoppedWorker) return kAborted;
    // None of these calls waits for the network, so a close or a stop waits
    // for them only briefly.
    std::lock_guard<std::mutex> lock(m_handlesLock);
    m_request.reset();
    if (m_aborted) return kAborted;
    if (!m_session) {
        m_session.reset(::InternetOpenW(m_userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!m_session) return FailureCode();
    }
    if (!m_connection) {
        m_connection.reset(::InternetConnectW(m_session.get(), m_host, m_port, nullptr, nullptr,
                                              INTERNET_SERVICE_HTTP, 0, reinterpret_cast<DWORD_PTR>(this)));
        if (!m_connection) return FailureCode();
    }

    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    m_request.reset(::HttpOpenRequestW(m_connection.get(), nullptr, m_path, kHttpVersion, m_baseUrl, acceptTypes,
                                       m_secure ? kSecureFlags : kPlainFlags, reinterpret_cast<DWORD_PTR>(this)));
    if (!m_request) return FailureCode();

    if (!ProxyUserName.IsEmpty() && !ProxyPassword.IsEmpty()) ApplyProxyCredentials(m_request.get());
    if (!SetDwordOption(m_request.get(), INTERNET_OPTION_ERROR_MASK, INTERNET_ERROR_MASK_COMBINED_SEC_CERT) ||
        !SetDwordOption(m_request.get(), INTERNET_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_REVOCATION))
        return FailureCode();
    return ERROR_SUCCESS;
}

int CHttpClient::SendRequest() {
    VelmoUpgradeToolDlg_Proxy dialog;
    dialog.m_stopped = &m_aborted;
    m_storedCredentialsTried = false;
    m_contentLength = 0;
    const int opened = OpenRequest();
    return opened != ERROR_SUCCESS ? opened : SendLoop(dialog);
}

int CHttpClient::SendLoop(VelmoUpgradeToolDlg_Proxy& dialog) {
    for (int resends = 0;; ++resends) {
        const bool mayResend = resends < kMaxResends;
        if (!::HttpSendRequestW(Request(), nullptr, 0, nullptr, 0)) {
            const DWORD error = ::GetLastError();
            if (mayResend && IsCertificateError(error) && SettleCertificateError(error)) continue;
            return static_cast<int>(error);
        }
        DWORD status = 0;
        if (!QueryNumber(Request(), HTTP_QUERY_STATUS_CODE, status)) return FailureCode();
        RefreshProxy();

        if (status == HTTP_STATUS_DENIED || status == HTTP_STATUS_PROXY_AUTH_REQ) {
            if (!mayResend) return static_cast<int>(status);
            const bool drained = DrainBody();
            if (status == HTTP_STATUS_PROXY_AUTH_REQ && !AuthenticateProxy(dialog)) return kProxyGivenUp;
            // What is left of a body cut off is still on its way: the next
            // try goes out on a request, and a connection, of its own.
            if (!drained) {
                const int reopened = OpenRequestHandle();
                if (reopened != ERROR_SUCCESS) return reopened;
            }
            continue;
        }
        if (status != HTTP_STATUS_OK) return static_cast<int>(status);
        if (!QueryNumber(Request(), HTTP_QUERY_CONTENT_LENGTH, m_contentLength)) return FailureCode();
        return ERROR_SUCCESS;
    }
}

bool CHttpClient::SettleCertificateError(DWORD error) {
    // The secondary program runs elevated: the system's certificate dialog
    // leads on to the certificate's export and its file dialogs, from which
    // a user could start anything with its rights. There the error stands.
    if (m_silent || m_aborted || !IsMainProgram) return false;
    const DWORD answer = ::InternetErrorDlg(m_ownerWindow, Request(), error,
                                            FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                                            nullptr);
    return answer == ERROR_SUCCESS || answer == ERROR_INTERNET_FORCE_RETRY;
}

void CHttpClient::RefreshProxy() {
    m_proxy.Empty();
    DWORD size = 0;
    if (::InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, nullptr, &size) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size < sizeof(INTERNET_PROXY_INFO))
        return;
    std::vector<BYTE> buffer(size);
    if (!::InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &size)) return;
    const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer.data());
    if (info->lpszProxy) m_proxy = info->lpszProxy;
}

bool CHttpClient::DrainBody() {
    BYTE buffer[1024];
    for (DWORD drained = 0; drained < kMostDrained;) {
        DWORD read = 0;
        if (!::InternetReadFile(Request(), buffer, sizeof buffer, &read)) return false;
        if (read == 0) return true;
        drained += read;
    }
    return false;
}

bool CHttpClient::QueryNumber(HINTERNET request, DWORD query, DWORD& value) {
    value = 0;
    DWORD length = sizeof value;
    return ::HttpQueryInfoW(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &length, nullptr) != FALSE;
}

HINTERNET CHttpClient::Request() const {
    std::lock_guard<std::mutex> lock(m_handlesLock);
    return m_request.get();
}

void CHttpClient::DropHandlesLocked() {
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}

void CHttpClient::Close() {
    std::lock_guard<std::mutex> lock(m_handlesLock);
    m_aborted = true;
    ::SetEvent(m_closed.get());
    DropHandlesLocked();
}
