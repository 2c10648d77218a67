#pragma once
// Distinguished names and general names as decoded from a certificate.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qen_lib::port {

// A distinguished name. A NameInfo with empty text and no RDNs stands for a
// missing name.
class NameInfo {
public:
    // (attribute OID, value), e.g. (L"2.5.4.3", L"Example Root").
    using Attribute = std::pair<std::wstring, std::wstring>;
    using Rdn = std::vector<Attribute>;

    NameInfo() = default;
    // The text alone; rdns stays empty.
    explicit NameInfo(const std::wstring& text);

    // The platform's X.500 text of the whole name, RDNs in reverse order.
    std::wstring get_text() const { return text; }

    static void append(Rdn& rdn, const std::wstring& oid, const std::wstring& value);

    // In encoded order; only attributes whose value is a text type.
    std::vector<Rdn> rdns;
    std::wstring text;
};

// The GeneralName choices of RFC 5280, by tag number.
enum GeneralNameType : std::int32_t {
    GENERAL_NAME_OTHER = 0,
    GENERAL_NAME_RFC822 = 1,
    GENERAL_NAME_DNS = 2,
    GENERAL_NAME_X400 = 3,
    GENERAL_NAME_DIRECTORY = 4,
    GENERAL_NAME_EDI_PARTY = 5,
    GENERAL_NAME_URI = 6,
    GENERAL_NAME_IP_ADDRESS = 7,
    GENERAL_NAME_REGISTERED_ID = 8,
};

struct GeneralName {
    explicit GeneralName(const std::wstring& value = std::wstring(),
                         std::int32_t type = GENERAL_NAME_OTHER)
        : type(type), value(value) {}

    std::int32_t type;
    // The name for RFC 822, DNS and URI names, the dotted OID of a
    // registered ID, empty for the others.
    std::wstring value;
    // The decoded name of a directory name, else empty.
    NameInfo name;
};

// Always held shared.
using GeneralNames = std::vector<GeneralName>;

}  // namespace qen_lib::port
