#include "qen_lib/signer/VerifyFileSigner.h"

#include <softpub.h>
#include <wintrust.h>

namespace {

// The state data that a verifying WinVerifyTrust call leaves behind belongs
// to the request; it is released by a second call on every way out.
class TrustState {
public:
    TrustState(GUID& action, WINTRUST_DATA& request) : m_action(action), m_request(request) {}
    ~TrustState() {
        m_request.dwStateAction = WTD_STATEACTION_CLOSE;
        ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_request);
    }
    TrustState(const TrustState&) = delete;
    TrustState& operator=(const TrustState&) = delete;

    // Only zero means the signature is trusted.
    LONG Verify() {
        m_request.dwStateAction = WTD_STATEACTION_VERIFY;
        return ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_request);
    }

    // The first signer's own certificate, or null; valid until the release.
    PCCERT_CONTEXT Signer() const {
        CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(m_request.hWVTStateData);
        if (!provider) return nullptr;
        CRYPT_PROVIDER_SGNR* signer = ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
        if (!signer) return nullptr;
        CRYPT_PROVIDER_CERT* cert = ::WTHelperGetProvCertFromChain(signer, 0);
        return cert ? cert->pCert : nullptr;
    }

private:
    GUID& m_action;
    WINTRUST_DATA& m_request;
};

// 0 when the file is trusted and its signer accepted, else the reason.
DWORD CheckSignedFile(LPCWSTR path, HANDLE file, int signerKind) {
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = path;
    fileInfo.hFile = file;

    WINTRUST_DATA request = {};
    request.cbStruct = sizeof(request);
    request.dwUIChoice = WTD_UI_NONE;
    request.fdwRevocationChecks = WTD_REVOKE_NONE;
    request.dwUnionChoice = WTD_CHOICE_FILE;
    request.pFile = &fileInfo;

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    TrustState state(action, request);
    const LONG trust = state.Verify();
    if (trust != 0) return static_cast<DWORD>(trust);
    const PCCERT_CONTEXT signer = state.Signer();
    if (!signer || !IsAcceptedSigner(signer, signerKind))
        return static_cast<DWORD>(CERT_E_CN_NO_MATCH);
    return 0;
}

}  // namespace

BOOL VerifyFileSigner(LPCWSTR path, int signerKind, win::FileHandle& held) {
    held.reset();
    // No write or delete sharing: nobody can change or replace the file
    // while it is checked and, through held, until the caller is done.
    win::FileHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FALSE;
    // The reason is set only now: releasing the trust state may overwrite
    // the last error.
    const DWORD reason = CheckSignedFile(path, file.get(), signerKind);
    if (reason != 0) {
        ::SetLastError(reason);
        return FALSE;
    }
    held = std::move(file);
    return TRUE;
}

BOOL VerifyFileSigner(LPCWSTR path) {
    win::FileHandle held;
    return VerifyFileSigner(path, SIGNER_KIND_MAKER, held);
}
