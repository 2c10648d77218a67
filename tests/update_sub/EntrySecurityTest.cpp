// What is ours, and where the deployment's script may lie, judged on
// security descriptors built here from their text form. Only Windows can
// show these judgements on real files: Wine keeps no owners, so there every
// entry reads back owned by the Wine user, fails both, and is set aside or
// refused as a user's would be.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "fileops/EntrySecurity.h"
#include "win/handle.h"

namespace {

const std::wstring kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1850103062-2771634587";
// SYSTEM and the Administrators in full, passed on to what a folder holds.
const std::wstring kAdmins = L"(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

}  // namespace

TEST(EntrySecurity, OursAndChangeableOnlyByTheOwnerAndTheListTogether) {
    const struct {
        const char* name;
        std::wstring descriptor;
        bool ourFolder;  // gives others nothing
        bool ourFile;    // gives others no more than reading
        bool scriptMayLie;
        bool rootOfItsWay;  // as the volume's root, where users may add
    } rows[] = {
        {"our admin-only folder", L"O:BAD:P" + kAdmins, true, true, true, true},
        {"owned by SYSTEM", L"O:SYD:P" + kAdmins, true, true, true, true},
        {"also TrustedInstaller", L"O:BAD:P" + kAdmins + L"(A;;FA;;;" + kTrustedInstaller + L")", true, true, true,
         true},
        {"our tool file, users may read", L"O:BAD:P" + kAdmins + L"(A;;FR;;;BU)", false, true, true, true},
        {"users may read, generic right", L"O:BAD:P" + kAdmins + L"(A;;GR;;;BU)", false, true, true, true},
        {"users denied", L"O:BAD:P(D;;FA;;;BU)" + kAdmins, true, true, true, true},
        {"made by administrators, users' rights inherited", L"O:BAD:AI" + kAdmins + L"(A;OICIID;0x1301bf;;;BU)",
         false, false, false, false},
        {"our entries, not protected", L"O:BAD:" + kAdmins, false, false, true, true},
        {"a user's owner", L"O:S-1-5-21-1-2-3-1001D:P" + kAdmins, false, false, false, false},
        {"owned by TrustedInstaller, users may run", L"O:" + kTrustedInstaller + L"D:P(A;;0x1200a9;;;BU)", false,
         false, true, true},
        {"no list", L"O:BA", false, false, false, false},
        {"users may write", L"O:BAD:P" + kAdmins + L"(A;;FW;;;BU)", false, false, false, true},
        {"everyone everything, generic right", L"O:BAD:P" + kAdmins + L"(A;;GA;;;WD)", false, false, false, false},
        {"users may add folders (a system drive's root)", L"O:BAD:P" + kAdmins + L"(A;;0x4;;;AU)", false, false,
         false, true},
        {"users may delete", L"O:BAD:P" + kAdmins + L"(A;;SD;;;BU)", false, false, false, false},
        {"users may delete what it holds", L"O:BAD:P" + kAdmins + L"(A;;0x40;;;BU)", false, false, false, false},
        {"users may change the list", L"O:BAD:P" + kAdmins + L"(A;;WD;;;BU)", false, false, false, false},
        {"users may take it over", L"O:BAD:P" + kAdmins + L"(A;;WO;;;BU)", false, false, false, false},
        {"users may set attributes", L"O:BAD:P" + kAdmins + L"(A;;0x100;;;BU)", false, false, true, true},
        {"creators may change what it will hold", L"O:BAD:P" + kAdmins + L"(A;OICIIO;GA;;;CO)", false, false,
         true, true},
    };
    for (const auto& row : rows) {
        PSECURITY_DESCRIPTOR built = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(row.descriptor.c_str(), SDDL_REVISION_1,
                                                                         &built, nullptr))
            << row.name;
        const win::LocalMemory held(built);
        EXPECT_EQ(IsOwnSecurity(built, 0), row.ourFolder) << row.name;
        EXPECT_EQ(IsOwnSecurity(built, FILE_GENERIC_READ), row.ourFile) << row.name;
        EXPECT_EQ(OnlyTrustedMayChange(built, OnTheWay::Entry), row.scriptMayLie) << row.name;
        EXPECT_EQ(OnlyTrustedMayChange(built, OnTheWay::VolumeRoot), row.rootOfItsWay) << row.name;
    }
}
