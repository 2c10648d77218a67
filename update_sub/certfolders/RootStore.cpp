#include "certfolders/RootStore.h"

#include <cwchar>

#include "vornpath/pki/CheckCertStore.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"
#include "win/handle.h"

namespace {

constexpr wchar_t kTitle[] = L"証明書登録";
constexpr wchar_t kFailed[] = L"Velmo 認証局証明書の登録に失敗しました。";

void Warn(const RootStoreTarget& target, const wchar_t* text) {
    target.warn(nullptr, text, kTitle, MB_ICONWARNING);
}

// The warning of a CryptoAPI failure with its last-error value.
void WarnCryptoError(const RootStoreTarget& target, const wchar_t* cause, DWORD error) {
    wchar_t text[1024];
    swprintf(text, 1024, L"%ls\n\n%ls%08x%ls", kFailed, cause, static_cast<unsigned>(error), L")。");
    Warn(target, text);
}

const wchar_t* StoreErrorLine(int storeResult) {
    switch (storeResult) {
    case vornpath::pki::STORE_NO_INDEX: return L"証明書保管庫ファイルが開けません。";
    case vornpath::pki::STORE_INDEX_UNREADABLE: return L"証明書保管庫ファイルの読み込みエラーです。";
    case vornpath::pki::STORE_CERT_FILE_MISSING: return L"証明書ファイルが開けません。";
    case vornpath::pki::STORE_CERT_FILE_UNLOADABLE: return L"証明書ファイルの読み込みエラーです。";
    case vornpath::pki::STORE_CERT_FILE_CORRUPTED: return L"証明書ファイルが改ざんされています。";
    default: return L"証明書保管庫が改ざんされています。";
    }
}

}  // namespace

int RegisterRootCertificate(const BYTE* der, DWORD length, const RootStoreTarget& target) {
    win::CertStore store(target.open(CERT_STORE_PROV_SYSTEM_W, 0, 0, target.flags, target.name));
    if (!store) {
        const DWORD error = ::GetLastError();
        // A user without rights on the machine's store is no failure of the
        // update: the client's own folders are what it trusts.
        if (error == ERROR_ACCESS_DENIED) return REGISTER_OK;
        WarnCryptoError(target, L"証明書ストアが開けません(エラーコード=", error);
        return REGISTER_STORE_NOT_OPENED;
    }
    // The same or a newer copy already there counts as registered.
    if (!::CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der, length, CERT_STORE_ADD_NEWER,
                                            nullptr) &&
        ::GetLastError() != static_cast<DWORD>(CRYPT_E_EXISTS)) {
        WarnCryptoError(target, L"証明書ストアでエラーが発生しました(エラーコード=", ::GetLastError());
        return REGISTER_ADD_FAILED;
    }
    // The machine's store keeps an addition only once it is closed.
    return REGISTER_OK;
}

int ShowStoreError(int storeResult, const RootStoreTarget& target) {
    if (storeResult == vornpath::pki::STORE_OK) return CHECK_STORE_OK;
    const std::wstring text = std::wstring(kFailed) + L"\n\n" + StoreErrorLine(storeResult);
    Warn(target, text.c_str());
    return CheckResultOf(storeResult);
}

int RegisterStoreRoots(const std::wstring& folder, const RootStoreTarget& target) {
    int result = vornpath::pki::STORE_OK;
    const auto store = vornpath::pki::CreateFileBaseCertificateStore(folder, result);
    if (result != vornpath::pki::STORE_OK) return ShowStoreError(result, target);
    const vornpath::pki::CertificateStore::Certs certs = store->GetAllCerts(result);
    if (result != vornpath::pki::STORE_OK) return ShowStoreError(result, target);
    for (const qen_lib::cert::Cert& cert : certs) {
        const int registered = RegisterRootCertificate(cert.der().data(), cert.der().size(), target);
        if (registered != REGISTER_OK) return registered;
    }
    return REGISTER_OK;
}
