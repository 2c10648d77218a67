#include "platform_decode.h"

#include "qen_lib/text.h"

namespace qen_lib::port::detail {

Decoded::Decoded(DWORD encoding, LPCSTR type, const BYTE* data, DWORD size, DWORD flags) {
    DWORD needed = 0;
    if (!::CryptDecodeObjectEx(encoding, type, data, size, flags, nullptr, nullptr, &needed))
        return;
    std::vector<unsigned char> buffer(needed);
    if (!::CryptDecodeObjectEx(encoding, type, data, size, flags, nullptr, buffer.data(), &needed))
        return;
    m_buffer = std::move(buffer);
}

Decoded decode_extension(PCCERT_CONTEXT context, const char* oid, bool& critical) {
    const CERT_INFO* info = context->pCertInfo;
    const CERT_EXTENSION* ext = ::CertFindExtension(oid, info->cExtension, info->rgExtension);
    if (!ext) return Decoded();
    critical = ext->fCritical != FALSE;
    return Decoded(X509_ASN_ENCODING, oid, ext->Value.pbData, ext->Value.cbData,
                   CRYPT_DECODE_NOCOPY_FLAG);
}

Bytes copy_bytes(const BYTE* data, DWORD size) {
    return size ? Bytes(data, data + size) : Bytes();
}

std::wstring widen_oid(const char* oid) {
    return text::widen(oid ? oid : "");
}

namespace {

const DWORD ENCODING = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
const DWORD X500_REVERSED = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;

std::wstring name_text(const CERT_NAME_BLOB& blob) {
    CERT_NAME_BLOB name = blob;
    const DWORD size = ::CertNameToStrW(ENCODING, &name, X500_REVERSED, nullptr, 0);
    if (size <= 1) return std::wstring();
    std::wstring text(size, L'\0');
    ::CertNameToStrW(ENCODING, &name, X500_REVERSED, &text[0], size);
    text.resize(size - 1);
    return text;
}

// Text values only; numeric, octet and universal strings are left out.
bool attribute_value(const CERT_RDN_ATTR& attr, std::wstring& value) {
    const char* bytes = reinterpret_cast<const char*>(attr.Value.pbData);
    switch (attr.dwValueType) {
    case CERT_RDN_PRINTABLE_STRING:
    case CERT_RDN_TELETEX_STRING:
    case CERT_RDN_IA5_STRING:
    case CERT_RDN_VISIBLE_STRING:
        value = text::widen(std::string(bytes, attr.Value.cbData));
        return true;
    case CERT_RDN_BMP_STRING:
    case CERT_RDN_UTF8_STRING:
        // The platform hands both over as UTF-16.
        value.assign(reinterpret_cast<const wchar_t*>(bytes), attr.Value.cbData / 2);
        return true;
    default:
        return false;
    }
}

std::wstring text_of(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

}  // namespace

NameInfo decode_name(const CERT_NAME_BLOB& blob) {
    const Decoded decoded(ENCODING, X509_NAME, blob.pbData, blob.cbData, 0);
    if (!decoded) return NameInfo();
    NameInfo result(name_text(blob));
    const CERT_NAME_INFO& name = decoded.as<CERT_NAME_INFO>();
    for (DWORD i = 0; i < name.cRDN; ++i) {
        NameInfo::Rdn rdn;
        const CERT_RDN& encoded = name.rgRDN[i];
        for (DWORD j = 0; j < encoded.cRDNAttr; ++j) {
            std::wstring value;
            if (attribute_value(encoded.rgRDNAttr[j], value))
                NameInfo::append(rdn, widen_oid(encoded.rgRDNAttr[j].pszObjId), value);
        }
        result.rdns.push_back(std::move(rdn));
    }
    return result;
}

GeneralName general_name_of(const CERT_ALT_NAME_ENTRY& entry) {
    switch (entry.dwAltNameChoice) {
    case CERT_ALT_NAME_RFC822_NAME:
        return GeneralName(text_of(entry.pwszRfc822Name), GENERAL_NAME_RFC822);
    case CERT_ALT_NAME_DNS_NAME:
        return GeneralName(text_of(entry.pwszDNSName), GENERAL_NAME_DNS);
    case CERT_ALT_NAME_X400_ADDRESS:
        return GeneralName(std::wstring(), GENERAL_NAME_X400);
    case CERT_ALT_NAME_DIRECTORY_NAME: {
        GeneralName name(std::wstring(), GENERAL_NAME_DIRECTORY);
        name.name = decode_name(entry.DirectoryName);
        return name;
    }
    case CERT_ALT_NAME_EDI_PARTY_NAME:
        return GeneralName(std::wstring(), GENERAL_NAME_EDI_PARTY);
    case CERT_ALT_NAME_URL:
        return GeneralName(text_of(entry.pwszURL), GENERAL_NAME_URI);
    case CERT_ALT_NAME_IP_ADDRESS:
        return GeneralName(std::wstring(), GENERAL_NAME_IP_ADDRESS);
    case CERT_ALT_NAME_REGISTERED_ID:
        return GeneralName(widen_oid(entry.pszRegisteredID), GENERAL_NAME_REGISTERED_ID);
    default:  // other names, and anything the platform adds
        return GeneralName(std::wstring(), GENERAL_NAME_OTHER);
    }
}

std::vector<GeneralName> general_names_of(const CERT_ALT_NAME_INFO& names) {
    std::vector<GeneralName> result;
    for (DWORD i = 0; i < names.cAltEntry; ++i) result.push_back(general_name_of(names.rgAltEntry[i]));
    return result;
}

}  // namespace qen_lib::port::detail
