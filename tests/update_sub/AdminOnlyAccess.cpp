#include "AdminOnlyAccess.h"

#include <windows.h>
#include <aclapi.h>

#include "win/handle.h"

testing::AssertionResult GrantsOnlyOwnerSystemAndAdministrators(const std::wstring& folder) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    const DWORD read = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, wanted, &owner, nullptr, &dacl, nullptr,
                                             &descriptor);
    if (read != ERROR_SUCCESS) return testing::AssertionFailure() << "no access list: error " << read;
    const win::LocalMemory held(descriptor);
    // No list at all grants everyone everything.
    if (!dacl) return testing::AssertionFailure() << "no access list";
    ACCESS_ALLOWED_ACE* ace = nullptr;
    for (DWORD i = 0; GetAce(dacl, i, reinterpret_cast<void**>(&ace)); ++i) {
        const PSID sid = &ace->SidStart;
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && !EqualSid(sid, owner) &&
            !IsWellKnownSid(sid, WinLocalSystemSid) && !IsWellKnownSid(sid, WinBuiltinAdministratorsSid))
            return testing::AssertionFailure() << "entry " << i << " grants someone else";
    }
    return testing::AssertionSuccess();
}
