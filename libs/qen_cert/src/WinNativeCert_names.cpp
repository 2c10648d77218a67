// The subject as a structured name, and the directory names of the subject
// alternative name.
#include "qen_lib/port/WinNativeCert.h"

#include "platform_decode.h"

namespace qen_lib::port {

namespace {

// Calls use(name) for each directoryName entry of the subject alternative
// name, in order.
template <class Use>
void for_each_directory_name(PCCERT_CONTEXT context, Use use) {
    detail::with_extension<CERT_ALT_NAME_INFO>(
        context, szOID_SUBJECT_ALT_NAME2, [&use](const CERT_ALT_NAME_INFO& names, bool) {
            for (DWORD i = 0; i < names.cAltEntry; ++i)
                if (names.rgAltEntry[i].dwAltNameChoice == CERT_ALT_NAME_DIRECTORY_NAME)
                    use(names.rgAltEntry[i].DirectoryName);
        });
}

}  // namespace

NameInfo WinNativeCert::get_subject_name() const {
    if (!is_valid()) return NameInfo();
    return detail::decode_name(m_context.get()->pCertInfo->Subject);
}

// The last entry wins.
std::wstring WinNativeCert::get_alt_directory_names() const {
    std::wstring result;
    for_each_directory_name(m_context.get(), [&result](const CERT_NAME_BLOB& name) {
        const DWORD BUFFER_CHARS = 256;
        wchar_t text[BUFFER_CHARS] = {};
        CERT_NAME_BLOB blob = name;
        if (::CertNameToStrW(X509_ASN_ENCODING, &blob, CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG,
                             text, BUFFER_CHARS) != 0)
            result = text;
    });
    return result;
}

NameInfo WinNativeCert::get_alt_directory_name_infos() const {
    NameInfo result;
    for_each_directory_name(m_context.get(), [&result](const CERT_NAME_BLOB& name) {
        result = detail::decode_name(name);
    });
    return result;
}

}  // namespace qen_lib::port
