#include "engine/access_rights.h"

#include "engine/advapi.h"
#include "framework/unique_resource.h"

#define SECURITY_WIN32
#include <security.h> // GetUserNameExW

#include <algorithm>
#include <exception>
#include <utility>

namespace {

SystemEntry<decltype(::AllocateAndInitializeSid)> AllocateAndInitializeSidEntry{"AllocateAndInitializeSid"};
SystemEntry<decltype(::FreeSid)> FreeSidEntry{"FreeSid"};
SystemEntry<decltype(::GetLengthSid)> GetLengthSidEntry{"GetLengthSid"};
SystemEntry<decltype(::EqualSid)> EqualSidEntry{"EqualSid"};
SystemEntry<decltype(::LookupAccountNameW)> LookupAccountNameEntry{"LookupAccountNameW"};
SystemEntry<decltype(::OpenThreadToken)> OpenThreadTokenEntry{"OpenThreadToken"};
SystemEntry<decltype(::OpenProcessToken)> OpenProcessTokenEntry{"OpenProcessToken"};
SystemEntry<decltype(::GetTokenInformation)> GetTokenInformationEntry{"GetTokenInformation"};
SystemEntry<decltype(::LookupPrivilegeValueW)> LookupPrivilegeValueEntry{"LookupPrivilegeValueW"};
SystemEntry<decltype(::AdjustTokenPrivileges)> AdjustTokenPrivilegesEntry{"AdjustTokenPrivileges"};
SystemEntry<decltype(::InitializeAcl)> InitializeAclEntry{"InitializeAcl"};
SystemEntry<decltype(::GetAclInformation)> GetAclInformationEntry{"GetAclInformation"};
SystemEntry<decltype(::GetAce)> GetAceEntry{"GetAce"};
SystemEntry<decltype(::AddAce)> AddAceEntry{"AddAce"};
SystemEntry<decltype(::AddAccessAllowedAce)> AddAccessAllowedAceEntry{"AddAccessAllowedAce"};
SystemEntry<decltype(::AddAccessAllowedAceEx)> AddAccessAllowedAceExEntry{"AddAccessAllowedAceEx"};
SystemEntry<decltype(::InitializeSecurityDescriptor)> InitializeSecurityDescriptorEntry{
    "InitializeSecurityDescriptor"};
SystemEntry<decltype(::SetSecurityDescriptorDacl)> SetSecurityDescriptorDaclEntry{"SetSecurityDescriptorDacl"};
SystemEntry<decltype(::SetSecurityDescriptorOwner)> SetSecurityDescriptorOwnerEntry{"SetSecurityDescriptorOwner"};
SystemEntry<decltype(::SetSecurityDescriptorGroup)> SetSecurityDescriptorGroupEntry{"SetSecurityDescriptorGroup"};
SystemEntry<decltype(::GetSecurityDescriptorDacl)> GetSecurityDescriptorDaclEntry{"GetSecurityDescriptorDacl"};
SystemEntry<decltype(::GetSecurityDescriptorControl)> GetSecurityDescriptorControlEntry{
    "GetSecurityDescriptorControl"};
SystemEntry<decltype(::SetSecurityDescriptorControl)> SetSecurityDescriptorControlEntry{
    "SetSecurityDescriptorControl"};
SystemEntry<decltype(::GetFileSecurityW)> GetFileSecurityEntry{"GetFileSecurityW"};
SystemEntry<decltype(::SetFileSecurityW)> SetFileSecurityEntry{"SetFileSecurityW"};
// The domain-qualified user name comes from the security support library, not advapi32.
SystemEntry<decltype(::GetUserNameExW)> GetUserNameExEntry{"GetUserNameExW", L"secur32.dll"};

using unique_token = vt::unique_handle;

OwnedSid SidOfAuthority(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD first, DWORD second = 0)
{
    PSID sid = nullptr;
    AllocateAndInitializeSidEntry.Check(&authority, count, first, second, 0UL, 0UL, 0UL, 0UL, 0UL, 0UL, &sid);
    return OwnedSid::Allocated(sid);
}

OwnedSid CurrentUserSid()
{
    std::vector<wchar_t> name(256);
    auto nameLength = static_cast<ULONG>(name.size());
    if (!GetUserNameExEntry.Call(NameSamCompatible, name.data(), &nameLength)) {
        if (::GetLastError() != ERROR_MORE_DATA)
            ThrowLastErrorHresult();
        name.resize(nameLength + 1);
        nameLength = static_cast<ULONG>(name.size());
        GetUserNameExEntry.Check(NameSamCompatible, name.data(), &nameLength);
    }
    DWORD sidSize = 0;
    DWORD domainLength = 0;
    SID_NAME_USE use = SidTypeUnknown;
    LookupAccountNameEntry.Call(nullptr, name.data(), nullptr, &sidSize, nullptr, &domainLength, &use);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        ThrowLastErrorHresult();
    std::vector<BYTE> sid(sidSize);
    std::vector<wchar_t> domain(domainLength + 1);
    domainLength = static_cast<DWORD>(domain.size());
    LookupAccountNameEntry.Check(nullptr, name.data(), sid.data(), &sidSize, domain.data(), &domainLength, &use);
    if (use != SidTypeUser)
        throw static_cast<HRESULT>(E_UNEXPECTED);
    return OwnedSid::Copied(sid.data(), sidSize);
}

OwnedSid TokenUserSid()
{
    unique_token token;
    if (!OpenThreadTokenEntry.Call(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) {
        if (::GetLastError() != ERROR_NO_TOKEN)
            ThrowLastErrorHresult();
        OpenProcessTokenEntry.Check(::GetCurrentProcess(), TOKEN_QUERY, token.put());
    }
    DWORD size = 0;
    GetTokenInformationEntry.Call(token.get(), TokenUser, nullptr, 0, &size);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        ThrowLastErrorHresult();
    std::vector<DWORD> information((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    GetTokenInformationEntry.Check(token.get(), TokenUser, information.data(), size, &size);
    PSID sid = reinterpret_cast<TOKEN_USER*>(information.data())->User.Sid;
    return OwnedSid::Copied(sid, GetLengthSidEntry.Call(sid));
}

// The account an entry is about, or null for entry types whose layout is not known here.
PSID AccountOfEntry(ACE_HEADER* entry)
{
    switch (entry->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE:
    case SYSTEM_AUDIT_ACE_TYPE:
    case SYSTEM_ALARM_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case SYSTEM_AUDIT_CALLBACK_ACE_TYPE:
    case SYSTEM_MANDATORY_LABEL_ACE_TYPE:
        return &reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case SYSTEM_AUDIT_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
    case SYSTEM_AUDIT_CALLBACK_OBJECT_ACE_TYPE: {
        // The two object GUIDs are there only when their flags say so.
        auto* objectEntry = reinterpret_cast<ACCESS_ALLOWED_OBJECT_ACE*>(entry);
        BYTE* sid = reinterpret_cast<BYTE*>(&objectEntry->ObjectType);
        if (objectEntry->Flags & ACE_OBJECT_TYPE_PRESENT)
            sid += sizeof(GUID);
        if (objectEntry->Flags & ACE_INHERITED_OBJECT_TYPE_PRESENT)
            sid += sizeof(GUID);
        return sid;
    }
    default:
        return nullptr;
    }
}

// Appends the entries [first, last) of `from` that are not for `account` to `to`. Returns the
// index where it stopped: `last`, or the first inherited entry when `stopAtInherited`.
DWORD CopyEntriesExcept(PACL from, DWORD first, DWORD last, bool stopAtInherited, PSID account, PACL to)
{
    for (DWORD index = first; index < last; ++index) {
        void* raw = nullptr;
        GetAceEntry.Check(from, index, &raw);
        auto* entry = static_cast<ACE_HEADER*>(raw);
        if (stopAtInherited && (entry->AceFlags & INHERITED_ACE))
            return index;
        PSID entryAccount = AccountOfEntry(entry);
        if (entryAccount != nullptr && EqualSidEntry.Call(entryAccount, account))
            continue;
        AddAceEntry.Check(to, ACL_REVISION, MAXDWORD, entry, static_cast<DWORD>(entry->AceSize));
    }
    return last;
}

} // namespace

OwnedSid OwnedSid::Allocated(PSID sid) noexcept
{
    OwnedSid owned;
    owned.m_allocated = sid;
    return owned;
}

OwnedSid OwnedSid::Copied(const void* sid, DWORD size)
{
    OwnedSid owned;
    owned.m_copy = std::make_unique<BYTE[]>(size);
    std::copy_n(static_cast<const BYTE*>(sid), size, owned.m_copy.get());
    return owned;
}

OwnedSid::OwnedSid(OwnedSid&& other) noexcept
    : m_allocated(std::exchange(other.m_allocated, nullptr)), m_copy(std::move(other.m_copy))
{
}

OwnedSid::~OwnedSid()
{
    // FreeSid was resolved along with AllocateAndInitializeSid, which made this identifier.
    if (m_allocated != nullptr && FreeSidEntry.Available())
        FreeSidEntry.Call(m_allocated);
}

OwnedSid WellKnownSid(int index)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    switch (index) {
    case AccountEveryone:
        return SidOfAuthority(world, 1, SECURITY_WORLD_RID);
    case AccountAdministrators:
        return SidOfAuthority(nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    case AccountUsers:
        return SidOfAuthority(nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS);
    case AccountAuthenticatedUsers:
        return SidOfAuthority(nt, 1, SECURITY_AUTHENTICATED_USER_RID);
    case AccountCurrentUser:
        return CurrentUserSid();
    case AccountTokenUser:
        return TokenUserSid();
    default:
        throw static_cast<HRESULT>(E_INVALIDARG);
    }
}

OwnedAcl::OwnedAcl(DWORD size) : m_storage((size + sizeof(DWORD) - 1) / sizeof(DWORD))
{
    InitializeAclEntry.Check(get(), static_cast<DWORD>(m_storage.size() * sizeof(DWORD)), ACL_REVISION);
}

OwnedAcl EveryoneAccessList(DWORD accessMask)
{
    const OwnedSid everyone = WellKnownSid(AccountEveryone);
    OwnedAcl acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSidEntry.Call(everyone.get()));
    AddAccessAllowedAceEntry.Check(acl.get(), ACL_REVISION, accessMask, everyone.get());
    return acl;
}

AbsoluteDescriptor::AbsoluteDescriptor()
{
    InitializeSecurityDescriptorEntry.Check(&m_descriptor, SECURITY_DESCRIPTOR_REVISION);
}

void AbsoluteDescriptor::SetAccessList(PACL acl)
{
    SetSecurityDescriptorDaclEntry.Check(&m_descriptor, TRUE, acl, FALSE);
}

void AbsoluteDescriptor::SetOwner(PSID owner)
{
    SetSecurityDescriptorOwnerEntry.Check(&m_descriptor, owner, FALSE);
}

void AbsoluteDescriptor::SetGroup(PSID group)
{
    SetSecurityDescriptorGroupEntry.Check(&m_descriptor, group, FALSE);
}

std::unique_ptr<AccessUpdate> WithExclusiveAccess(PSECURITY_DESCRIPTOR current, PSID account, DWORD accessMask,
                                                  BYTE aceFlags)
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL old = nullptr;
    GetSecurityDescriptorDaclEntry.Check(current, &present, &old, &defaulted);
    ACL_SIZE_INFORMATION oldSize{0, sizeof(ACL), 0};
    if (!present || old == nullptr)
        old = nullptr;
    else
        GetAclInformationEntry.Check(old, &oldSize, static_cast<DWORD>(sizeof(oldSize)), AclSizeInformation);

    // Entries are only ever dropped from the old list, so its bytes plus the one new entry
    // (header and mask before the identifier) always suffice.
    const DWORD newSize = oldSize.AclBytesInUse + 8 + GetLengthSidEntry.Call(account);
    auto update = std::make_unique<AccessUpdate>(newSize);
    PACL acl = update->acl.get();

    DWORD firstInherited = 0;
    if (old != nullptr)
        firstInherited = CopyEntriesExcept(old, 0, oldSize.AceCount, true, account, acl);
    if (aceFlags == 0 || !AddAccessAllowedAceExEntry.Available())
        AddAccessAllowedAceEntry.Check(acl, ACL_REVISION, accessMask, account);
    else
        AddAccessAllowedAceExEntry.Check(acl, ACL_REVISION, static_cast<DWORD>(aceFlags), accessMask, account);
    if (old != nullptr)
        CopyEntriesExcept(old, firstInherited, oldSize.AceCount, false, account, acl);

    update->descriptor.SetAccessList(acl);

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControlEntry.Check(current, &control, &revision);
    if (SetSecurityDescriptorControlEntry.Available()) {
        SECURITY_DESCRIPTOR_CONTROL carried = 0;
        if (control & SE_DACL_AUTO_INHERITED)
            carried = SE_DACL_AUTO_INHERITED | SE_DACL_AUTO_INHERIT_REQ;
        else if (control & SE_DACL_PROTECTED)
            carried = SE_DACL_PROTECTED;
        if (carried != 0)
            SetSecurityDescriptorControlEntry.Check(update->descriptor.get(), carried, carried);
    }
    return update;
}

bool AddFileAccess(const std::wstring& path, DWORD accessMask, BYTE aceFlags) noexcept
{
    try {
        const OwnedSid users = WellKnownSid(AccountUsers);
        DWORD size = 0;
        if (GetFileSecurityEntry.Call(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size) ||
            ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            ThrowLastErrorHresult();
        std::vector<DWORD> current((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        GetFileSecurityEntry.Check(path.c_str(), DACL_SECURITY_INFORMATION, current.data(), size, &size);
        auto update = WithExclusiveAccess(current.data(), users.get(), accessMask, aceFlags);
        SetFileSecurityEntry.Check(path.c_str(), DACL_SECURITY_INFORMATION, update->descriptor.get());
        return true;
    } catch (HRESULT) {
        return false;
    } catch (const std::exception&) {
        return false; // out of memory
    }
}

bool SetPrivilege(const wchar_t* name, bool enable) noexcept
{
    try {
        unique_token token;
        OpenProcessTokenEntry.Check(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put());
        LUID privilege{};
        LookupPrivilegeValueEntry.Check(nullptr, name, &privilege);

        // First learn the privilege's current attributes, then set them with "enabled" changed.
        TOKEN_PRIVILEGES query{1, {{privilege, 0}}};
        TOKEN_PRIVILEGES previous{};
        DWORD previousSize = sizeof(previous);
        if (!AdjustTokenPrivilegesEntry.Call(token.get(), FALSE, &query, static_cast<DWORD>(sizeof(query)), &previous,
                                             &previousSize) ||
            ::GetLastError() != ERROR_SUCCESS)
            ThrowLastErrorHresult();
        previous.PrivilegeCount = 1;
        previous.Privileges[0].Luid = privilege;
        if (enable)
            previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
        else
            previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
        AdjustTokenPrivilegesEntry.Check(token.get(), FALSE, &previous, previousSize, nullptr, nullptr);
        return true;
    } catch (HRESULT) {
        return false;
    } catch (const std::exception&) {
        return false; // out of memory
    }
}
