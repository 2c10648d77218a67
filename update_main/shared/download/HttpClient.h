#pragma once
// Fetches one file at a time by an HTTP or HTTPS GET over WinINet, with the
// system's proxy settings. It lets the user settle certificate errors in the
// system's dialog (not in silent runs) and answers a proxy's demand for
// credentials with the proxy dialog or the credentials handed over in shared
// memory. The caller reads the body from Request() after a result of 0.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <mutex>

#include "download/InternetHandle.h"
#include "framework/CString.h"
#include "win/handle.h"

class VelmoUpgradeToolDlg_Proxy;
struct HandOverPayload;

// The proxy credentials of the process: set when the user confirms the proxy
// dialog or from the hand-over block, and sent with every later request.
// Only the download worker touches them.
extern CString ProxyUserName;
extern CString ProxyPassword;

// The realm of a Proxy-Authenticate header: the text after the first
// "realm=", without its leading quotes and up to the next quote; empty when
// the header names no realm.
CString ParseProxyRealm(const CString& header);

class CHttpClient {
public:
    // SendRequest results besides 0 (a "200" answer), an HTTP status and a
    // Win32 or WinINet error code.
    static constexpr int kAborted = ERROR_CANCELLED;  // 1223
    static constexpr int kProxyGivenUp = 9999;
    // A request is sent again at most this often (after 401 and 407 answers
    // and settled certificate errors); then the last status or error stands.
    static constexpr int kMaxResends = 5;
    // The most of a 401 or 407 answer's body that is read away before the
    // request is sent again; such bodies are short, and one that goes on is
    // not worth waiting for.
    static constexpr DWORD kMostDrained = 64 * 1024;

    CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Cracks the URL into host, port and path and drops the request,
    // connection and session of the previous one. False with the thread's
    // last error.
    bool SetUrl(const CString& url);
    // GET for m_url: 0 for "200" (ContentLength() is then set and Request()
    // open for reading), another HTTP status, a Win32 or WinINet error code,
    // kAborted, or kProxyGivenUp.
    int SendRequest();
    // Stops the client for good, from any thread: the open handles are
    // closed, so that a call blocked on them fails, none is opened again (a
    // wait for stopped workers before an open ends too), and later requests
    // give kAborted.
    void Close();

    // HttpQueryInfoW with HTTP_QUERY_FLAG_NUMBER added to `query`.
    static bool QueryNumber(HINTERNET request, DWORD query, DWORD& value);

    // The open request; null once closed. Taken anew for every call on it,
    // so that a call after a close gets no handle rather than a closed one.
    // A close may still come between the taking and the call, and free the
    // value meanwhile: it then names no other handle, as no WinINet handle is
    // opened in the process while a stopped worker may still run
    // (download/StoppedWorkers.h).
    HINTERNET Request() const;
    DWORD ContentLength() const { return m_contentLength; }
    bool IsSecure() const { return m_secure; }
    const CString& Realm() const { return m_realm; }
    const CString& Proxy() const { return m_proxy; }

    // Set by the owner before the requests.
    CString m_userAgent = L"ZedazaDarade";
    CString m_url;
    // Owner of the certificate-error dialog.
    HWND m_ownerWindow = nullptr;
    // A silent run shows no certificate-error dialog: the error is the result.
    bool m_silent = false;

private:
    int OpenRequest();
    // A new request handle, with the options that every send needs, on the
    // open connection, or on a new session and connection when SetUrl has
    // dropped them.
    int OpenRequestHandle();
    // Closes the request before its connection and session: closing the
    // connection would close the request too, and the handle value that we
    // still held could by then belong to another handle. Called with
    // m_handlesLock held.
    void DropHandlesLocked();
    int SendLoop(VelmoUpgradeToolDlg_Proxy& dialog);
    // Lets the user settle a certificate error, in a visible run of the main
    // program only; true when the request is to be sent again.
    bool SettleCertificateError(DWORD error);
    void RefreshProxy();
    // Reads the body of a 401 or 407 answer away; false when it did not end
    // within kMostDrained bytes or a read failed.
    bool DrainBody();
    // The error of the step that just failed; a cancel under it shows as such.
    int FailureCode() const;

    // True when the request is to be sent again, false when authentication
    // is given up.
    bool AuthenticateProxy(VelmoUpgradeToolDlg_Proxy& dialog);
    void QueryProxyRealm();
    bool ReadStoredProxyCredentials(HandOverPayload& payload);
    bool UseStoredProxyCredentials();
    void ApplyProxyCredentials(HINTERNET request);

    CString m_realm;
    CString m_proxy;
    INTERNET_PORT m_port = 0;
    bool m_secure = false;
    CString m_host;
    CString m_path;
    CString m_baseUrl;
    // Every handle is opened, stored and closed under m_handlesLock, and
    // m_aborted is set under it: a close from another thread thus finds
    // every handle that was opened, and nothing is opened after it.
    mutable std::mutex m_handlesLock;
    std::atomic<bool> m_aborted{false};
    // Signalled with m_aborted, for the waits.
    win::KernelHandle m_closed;
    // Whether the handed-over credentials were tried for this request.
    bool m_storedCredentialsTried = false;
    InternetHandle m_session;
    InternetHandle m_connection;
    InternetHandle m_request;
    DWORD m_contentLength = 0;
};
