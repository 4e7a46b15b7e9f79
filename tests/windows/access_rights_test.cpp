#include "engine/access_rights.h"
#include "engine/advapi.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The account names the tests use, by their string form.
std::vector<BYTE> Sid(const wchar_t* text)
{
    PSID sid = nullptr;
    EXPECT_TRUE(::ConvertStringSidToSidW(text, &sid)) << testing::PrintToString(std::wstring(text));
    vt::unique_hlocal owner(sid);
    const auto* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
}

std::wstring SidText(PSID sid)
{
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text))
        return L"?";
    vt::unique_hlocal owner(text);
    return text;
}

struct Entry {
    BYTE type; // ACCESS_ALLOWED_ACE_TYPE or ACCESS_DENIED_ACE_TYPE
    BYTE flags;
    DWORD mask;
    std::wstring account; // string form of the SID
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out)
{
    *out << (entry.type == ACCESS_ALLOWED_ACE_TYPE ? "allow " : "deny ") << testing::PrintToString(entry.account)
         << " mask 0x" << std::hex << entry.mask << " flags 0x" << int(entry.flags);
}

// A descriptor as a file system would hand it over: an access list with the given entries (or
// none) and the given control flags.
class TestDescriptor {
public:
    TestDescriptor(std::optional<std::vector<Entry>> entries, SECURITY_DESCRIPTOR_CONTROL control = 0)
        : m_acl(1024 / sizeof(DWORD))
    {
        EXPECT_TRUE(::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION));
        if (entries) {
            auto* acl = reinterpret_cast<PACL>(m_acl.data());
            EXPECT_TRUE(::InitializeAcl(acl, 1024, ACL_REVISION));
            for (const Entry& entry : *entries) {
                std::vector<BYTE> sid = Sid(entry.account.c_str());
                const BOOL added =
                    entry.type == ACCESS_ALLOWED_ACE_TYPE
                        ? ::AddAccessAllowedAceEx(acl, ACL_REVISION, entry.flags, entry.mask, sid.data())
                        : ::AddAccessDeniedAceEx(acl, ACL_REVISION, entry.flags, entry.mask, sid.data());
                EXPECT_TRUE(added);
            }
            EXPECT_TRUE(::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE));
        }
        if (control != 0) {
            EXPECT_TRUE(::SetSecurityDescriptorControl(&m_descriptor, control, control));
        }
    }
    PSECURITY_DESCRIPTOR get() { return &m_descriptor; }

private:
    std::vector<DWORD> m_acl;
    SECURITY_DESCRIPTOR m_descriptor{};
};

std::vector<Entry> EntriesOf(PSECURITY_DESCRIPTOR descriptor)
{
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    EXPECT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
    EXPECT_TRUE(present && acl != nullptr) << "the new descriptor has a list";
    EXPECT_FALSE(defaulted);
    std::vector<Entry> entries;
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        EXPECT_TRUE(::GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        entries.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, SidText(&ace->SidStart)});
    }
    return entries;
}

SECURITY_DESCRIPTOR_CONTROL ControlOf(PSECURITY_DESCRIPTOR descriptor)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    EXPECT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
    return control;
}

constexpr BYTE kAllow = ACCESS_ALLOWED_ACE_TYPE;
constexpr BYTE kDeny = ACCESS_DENIED_ACE_TYPE;
constexpr BYTE kInheritable = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
constexpr DWORD kAll = FILE_ALL_ACCESS;
const std::wstring kUsers = L"S-1-5-32-545";
const std::wstring kAdministrators = L"S-1-5-32-544";
const std::wstring kSystem = L"S-1-5-18";
const std::wstring kEveryone = L"S-1-1-0";

std::vector<Entry> WithUsersEntry(std::optional<std::vector<Entry>> entries, DWORD mask, BYTE flags)
{
    TestDescriptor current(std::move(entries));
    std::vector<BYTE> users = Sid(kUsers.c_str());
    auto update = WithExclusiveAccess(current.get(), users.data(), mask, flags);
    return EntriesOf(update->descriptor.get());
}

} // namespace

TEST(AccessList, UsersEntryGoesAfterTheExplicitAndBeforeTheInheritedEntries)
{
    const struct {
        const char* what;
        std::optional<std::vector<Entry>> before;
        std::vector<Entry> after;
    } cases[] = {
        {"no access list",
         std::nullopt,
         {{kAllow, kInheritable, kAll, kUsers}}},
        {"an empty list",
         std::vector<Entry>{},
         {{kAllow, kInheritable, kAll, kUsers}}},
        {"explicit and inherited entries, Users among both",
         std::vector<Entry>{{kAllow, 0, kAll, kAdministrators},
                            {kAllow, kInheritable, FILE_GENERIC_READ, kUsers},
                            {kDeny, 0, FILE_WRITE_DATA, kEveryone},
                            {kAllow, INHERITED_ACE | kInheritable, FILE_GENERIC_READ, kUsers},
                            {kAllow, INHERITED_ACE, kAll, kSystem}},
         {{kAllow, 0, kAll, kAdministrators},
          {kDeny, 0, FILE_WRITE_DATA, kEveryone},
          {kAllow, kInheritable, kAll, kUsers},
          {kAllow, INHERITED_ACE, kAll, kSystem}}},
        {"only inherited entries",
         std::vector<Entry>{{kAllow, INHERITED_ACE, kAll, kSystem}, {kAllow, INHERITED_ACE, kAll, kAdministrators}},
         {{kAllow, kInheritable, kAll, kUsers},
          {kAllow, INHERITED_ACE, kAll, kSystem},
          {kAllow, INHERITED_ACE, kAll, kAdministrators}}},
        {"a denying Users entry is replaced too",
         std::vector<Entry>{{kDeny, 0, kAll, kUsers}, {kAllow, 0, kAll, kSystem}},
         {{kAllow, 0, kAll, kSystem}, {kAllow, kInheritable, kAll, kUsers}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithUsersEntry(c.before, kAll, kInheritable), c.after) << c.what;
}

TEST(AccessList, ApplyingTwiceLeavesOneUsersEntry)
{
    TestDescriptor current(std::vector<Entry>{{kAllow, 0, kAll, kSystem}, {kAllow, INHERITED_ACE, kAll, kSystem}});
    std::vector<BYTE> users = Sid(kUsers.c_str());
    auto once = WithExclusiveAccess(current.get(), users.data(), 0x0013019F, 0);
    auto twice = WithExclusiveAccess(once->descriptor.get(), users.data(), 0x0013019F, 0);
    const std::vector<Entry> expected = {
        {kAllow, 0, kAll, kSystem}, {kAllow, 0, 0x0013019F, kUsers}, {kAllow, INHERITED_ACE, kAll, kSystem}};
    EXPECT_EQ(EntriesOf(once->descriptor.get()), expected);
    EXPECT_EQ(EntriesOf(twice->descriptor.get()), expected);
}

TEST(AccessList, InheritanceControlIsCarriedOver)
{
    const struct {
        SECURITY_DESCRIPTOR_CONTROL before;
        SECURITY_DESCRIPTOR_CONTROL after; // of the three inheritance bits
    } cases[] = {
        {0, 0},
        {SE_DACL_AUTO_INHERITED, SE_DACL_AUTO_INHERITED | SE_DACL_AUTO_INHERIT_REQ},
        {SE_DACL_PROTECTED, SE_DACL_PROTECTED},
        {SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED, SE_DACL_AUTO_INHERITED | SE_DACL_AUTO_INHERIT_REQ},
        {SE_DACL_AUTO_INHERIT_REQ, 0},
    };
    constexpr SECURITY_DESCRIPTOR_CONTROL inheritanceBits =
        SE_DACL_AUTO_INHERITED | SE_DACL_AUTO_INHERIT_REQ | SE_DACL_PROTECTED;
    std::vector<BYTE> users = Sid(kUsers.c_str());
    for (const auto& c : cases) {
        TestDescriptor current(std::vector<Entry>{}, c.before);
        auto update = WithExclusiveAccess(current.get(), users.data(), kAll, 0);
        const SECURITY_DESCRIPTOR_CONTROL control = ControlOf(update->descriptor.get());
        EXPECT_EQ(control & inheritanceBits, c.after) << "control before: 0x" << std::hex << c.before;
        EXPECT_TRUE(control & SE_DACL_PRESENT);
        EXPECT_FALSE(control & SE_DACL_DEFAULTED);
    }
}

TEST(AccessRights, WellKnownAccounts)
{
    const struct {
        int index;
        const wchar_t* sid;
    } cases[] = {{0, L"S-1-1-0"}, {1, L"S-1-5-32-544"}, {2, L"S-1-5-32-545"}, {3, L"S-1-5-11"}};
    for (const auto& c : cases)
        EXPECT_EQ(SidText(WellKnownSid(c.index).get()), c.sid) << "index " << c.index;

    const std::wstring byName = SidText(WellKnownSid(AccountCurrentUser).get());
    EXPECT_EQ(byName.rfind(L"S-1-5-21-", 0), 0u) << testing::PrintToString(byName);
    EXPECT_EQ(SidText(WellKnownSid(AccountTokenUser).get()), byName) << "the token's user is the named user";

    EXPECT_THROW(WellKnownSid(6), HRESULT);
}

TEST(AccessRights, EntryPointsResolveOnceAndReportWhatIsMissing)
{
    FARPROC slot = nullptr;
    ResolveAdvapi(slot, "GetAce");
    EXPECT_EQ(slot, ::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "GetAce"));
    const FARPROC kept = slot;
    ResolveAdvapi(slot, "NoSuchEntryPoint");
    EXPECT_EQ(slot, kept) << "a filled slot is left alone";

    const auto errorOf = [](auto resolve) {
        try {
            resolve();
        } catch (HRESULT error) {
            return error;
        }
        return S_OK;
    };
    EXPECT_EQ(errorOf([] {
                  FARPROC empty = nullptr;
                  ResolveAdvapi(empty, "NoSuchEntryPoint");
              }),
              E_NOTIMPL);
    EXPECT_EQ(errorOf([] {
                  FARPROC empty = nullptr;
                  ResolveSystemEntry(empty, L"no-such-module.dll", "Entry");
              }),
              E_UNEXPECTED);
}

TEST(AccessRights, PrivilegesSwitchOnAndOff)
{
    const auto enabled = [](const wchar_t* name) {
        HANDLE token = nullptr;
        ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
        vt::unique_handle owner(token);
        PRIVILEGE_SET set{1, PRIVILEGE_SET_ALL_NECESSARY, {{{}, 0}}};
        ::LookupPrivilegeValueW(nullptr, name, &set.Privilege[0].Luid);
        BOOL result = FALSE;
        ::PrivilegeCheck(token, &set, &result);
        return result != FALSE;
    };
    for (const wchar_t* name : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        ASSERT_TRUE(SetPrivilege(name, true));
        EXPECT_TRUE(enabled(name));
        ASSERT_TRUE(SetPrivilege(name, false));
        EXPECT_FALSE(enabled(name));
    }
    EXPECT_FALSE(SetPrivilege(L"SeNoSuchPrivilege", true)) << "an unknown name";
    EXPECT_FALSE(SetPrivilege(SE_CREATE_TOKEN_NAME, true)) << "a privilege the token does not hold";
}

TEST(AccessRights, AddFileAccessOnRealObjectsReturnsItsResult)
{
    // Wine keeps no access lists on files; only the call's outcome can be checked here.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / testsupport::UniqueName(L"access-rights");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / L"data.xml") << "<data/>";
    EXPECT_TRUE(AddFileAccess(folder.wstring(), FILE_ALL_ACCESS, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE));
    EXPECT_TRUE(AddFileAccess((folder / L"data.xml").wstring(), 0x0013019F, 0));
    EXPECT_FALSE(AddFileAccess((folder / L"missing.xml").wstring(), 0x0013019F, 0));
    std::filesystem::remove_all(folder);
}
