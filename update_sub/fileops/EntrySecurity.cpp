#include "fileops/EntrySecurity.h"

#include <aclapi.h>
#include <sddl.h>

#include "win/handle.h"

namespace {

// NT SERVICE\TrustedInstaller: a service SID, not one of the well-known ones.
constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1850103062-2771634587";

// What lets a user change a file, or what a folder leads to: its bytes, its
// name, the entries of a folder, and the list or owner that grant the rest.
constexpr ACCESS_MASK kChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;

constexpr ACCESS_MASK kEverything = ~ACCESS_MASK{0};

bool IsSystemOrAdministrators(PSID sid) {
    return ::IsWellKnownSid(sid, WinLocalSystemSid) || ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

bool IsTrustedInstaller(PSID sid) {
    PSID trustedInstaller = nullptr;
    if (!::ConvertStringSidToSidW(kTrustedInstaller, &trustedInstaller)) return false;
    const win::LocalMemory held(trustedInstaller);
    return ::EqualSid(sid, trustedInstaller) != FALSE;
}

bool IsTrusted(PSID sid) { return IsSystemOrAdministrators(sid) || IsTrustedInstaller(sid); }

enum class InheritOnly { Counted, Ignored };

// The rights that the list's allow entries give anyone but the trusted
// accounts. A deny entry only ever takes away; an entry of another kind, whose
// account is not read here, counts as giving everything.
ACCESS_MASK OthersAllowed(PACL list, InheritOnly inheritOnly) {
    GENERIC_MAPPING fileRights = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    ACCESS_MASK allowed = 0;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!::GetAce(list, i, reinterpret_cast<void**>(&header))) return kEverything;
        if (inheritOnly == InheritOnly::Ignored && (header->AceFlags & INHERIT_ONLY_ACE)) continue;
        switch (header->AceType) {
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
            break;
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {  // the same layout up to the account
            const auto* entry = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
            PSID account = const_cast<DWORD*>(&entry->SidStart);
            if (IsTrusted(account)) break;
            ACCESS_MASK rights = entry->Mask;
            ::MapGenericMask(&rights, &fileRights);
            allowed |= rights;
            break;
        }
        default:
            return kEverything;
        }
    }
    return allowed;
}

PSID OwnerOf(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ? owner : nullptr;
}

// Null when there is no list, or a null one: both let everyone do anything.
PACL ListOf(PSECURITY_DESCRIPTOR descriptor) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    return ::GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted) && present ? list : nullptr;
}

bool IsProtected(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    return ::GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED);
}

// The owner and access list of the open entry; empty when they cannot be read.
win::LocalMemory SecurityOf(HANDLE entry) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (::GetSecurityInfo(entry, SE_FILE_OBJECT, wanted, nullptr, nullptr, nullptr, nullptr, &descriptor) !=
        ERROR_SUCCESS)
        return {};
    return win::LocalMemory(descriptor);
}

}  // namespace

bool IsOwnSecurity(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK othersMayHave) {
    const PSID owner = OwnerOf(descriptor);
    const PACL list = ListOf(descriptor);
    return owner && IsSystemOrAdministrators(owner) && IsProtected(descriptor) && list &&
           (OthersAllowed(list, InheritOnly::Counted) & ~othersMayHave) == 0;
}

bool OnlyTrustedMayChange(PSECURITY_DESCRIPTOR descriptor, OnTheWay at) {
    const PSID owner = OwnerOf(descriptor);
    const PACL list = ListOf(descriptor);
    const ACCESS_MASK counted =
        at == OnTheWay::VolumeRoot ? kChangeRights & ~(FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY) : kChangeRights;
    return owner && IsTrusted(owner) && list && (OthersAllowed(list, InheritOnly::Ignored) & counted) == 0;
}

bool IsOwnEntry(HANDLE entry, ACCESS_MASK othersMayHave) {
    const win::LocalMemory descriptor = SecurityOf(entry);
    return descriptor && IsOwnSecurity(descriptor.get(), othersMayHave);
}

bool OnlyTrustedMayChangeEntry(HANDLE entry, OnTheWay at) {
    const win::LocalMemory descriptor = SecurityOf(entry);
    return descriptor && OnlyTrustedMayChange(descriptor.get(), at);
}
