#pragma once
// Access rights: opening shared folders and data files to the Users group, switching a privilege
// of the process, the well-known accounts, and the descriptors of the named kernel objects.
// Every security call goes through the run-time resolved entry points of advapi.h; the helpers
// here throw HRESULT values, while AddFileAccess and SetPrivilege report failure as false.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// An account's security identifier, released the way it was obtained.
class OwnedSid {
public:
    static OwnedSid Allocated(PSID sid) noexcept;        // from AllocateAndInitializeSid: FreeSid
    static OwnedSid Copied(const void* sid, DWORD size); // plain memory of our own
    OwnedSid(OwnedSid&& other) noexcept;
    OwnedSid& operator=(OwnedSid&&) = delete;
    OwnedSid(const OwnedSid&) = delete;
    ~OwnedSid();

    PSID get() const noexcept { return m_allocated != nullptr ? m_allocated : m_copy.get(); }

private:
    OwnedSid() = default;
    PSID m_allocated = nullptr;
    std::unique_ptr<BYTE[]> m_copy;
};

enum WellKnownAccount {
    AccountEveryone = 0,           // S-1-1-0
    AccountAdministrators = 1,     // S-1-5-32-544
    AccountUsers = 2,              // S-1-5-32-545
    AccountAuthenticatedUsers = 3, // S-1-5-11
    AccountCurrentUser = 4,        // looked up by the user's domain-qualified name
    AccountTokenUser = 5,          // of the thread's token, else of the process's
};
OwnedSid WellKnownSid(int index);

// An access list in storage of its own (DWORD elements keep it aligned).
class OwnedAcl {
public:
    explicit OwnedAcl(DWORD size); // an empty list of revision 2 with room for `size` bytes
    PACL get() noexcept { return reinterpret_cast<PACL>(m_storage.data()); }

private:
    std::vector<DWORD> m_storage;
};

// A list with one entry: `accessMask` allowed to Everyone.
OwnedAcl EveryoneAccessList(DWORD accessMask);

// An absolute security descriptor (revision 1). It points to the access list and identifiers
// given to it, which must outlive it.
class AbsoluteDescriptor {
public:
    AbsoluteDescriptor();
    AbsoluteDescriptor(const AbsoluteDescriptor&) = delete;
    AbsoluteDescriptor& operator=(const AbsoluteDescriptor&) = delete;

    void SetAccessList(PACL acl);
    void SetOwner(PSID owner);
    void SetGroup(PSID group);
    PSECURITY_DESCRIPTOR get() noexcept { return &m_descriptor; }

private:
    SECURITY_DESCRIPTOR m_descriptor{};
};

// The descriptor AddFileAccess writes, holding the access list it points to.
struct AccessUpdate {
    OwnedAcl acl;
    AbsoluteDescriptor descriptor;
    explicit AccessUpdate(DWORD aclSize) : acl(aclSize) {}
};

// The new descriptor for an object whose descriptor is `current`, computed without touching the
// object: the explicit entries of its access list in their order, without those for `account`;
// then one entry allowing `accessMask` to `account` with the inheritance flags `aceFlags`; then
// the inherited entries, again without those for `account`. An object without a list gets a list
// with the one entry. Inheritance control flags are carried over (auto-inherited, else protected).
std::unique_ptr<AccessUpdate> WithExclusiveAccess(PSECURITY_DESCRIPTOR current, PSID account, DWORD accessMask,
                                                  BYTE aceFlags);

// Gives the Users group an entry allowing `accessMask` (with inheritance flags `aceFlags`) on the
// file or folder, replacing any entry the group had there. False on any failure.
bool AddFileAccess(const std::wstring& path, DWORD accessMask, BYTE aceFlags) noexcept;

// Enables or disables the privilege `name` in the process's token. False on any failure.
bool SetPrivilege(const wchar_t* name, bool enable) noexcept;
