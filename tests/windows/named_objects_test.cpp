#include "app/named_objects.h"

#include "tests/support/child_process.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <thread>

using testsupport::ChildProcess;

namespace {

constexpr DWORD kWait = 30000;

// Arguments: mutex name, ready event, release event, "release" or "abandon".
// Owns the global mutex, signals ready, waits for release, then gives the mutex up properly or
// ends the process while owning it.
int HoldMutexRole(const std::vector<std::wstring>& arguments)
{
    NamedMutex mutex(arguments.at(0), true, true);
    if (!mutex.owned())
        return 2;
    ::SetEvent(testsupport::OpenNamedEvent(arguments.at(1)).get());
    ::WaitForSingleObject(testsupport::OpenNamedEvent(arguments.at(2)).get(), kWait);
    if (arguments.at(3) == L"abandon")
        ::ExitProcess(0);
    return 0;
}

// Arguments: application id, ready event, release event. Registers in the counter, signals
// ready, waits for release and ends normally (the counter's destructor gives its unit back).
int RegisterInCounterRole(const std::vector<std::wstring>& arguments)
{
    InstanceCounter counter(arguments.at(0));
    ::SetEvent(testsupport::OpenNamedEvent(arguments.at(1)).get());
    ::WaitForSingleObject(testsupport::OpenNamedEvent(arguments.at(2)).get(), kWait);
    return 0;
}

const bool registered = testsupport::RegisterRole(L"hold-mutex", &HoldMutexRole) &&
                        testsupport::RegisterRole(L"register-in-counter", &RegisterInCounterRole);

// A child process that holds something until told to let go.
struct Holder {
    Holder(const std::wstring& role, std::vector<std::wstring> arguments)
        : ready(testsupport::UniqueName(L"ready")),
          release(testsupport::UniqueName(L"release")),
          readyEvent(testsupport::CreateNamedEvent(ready)),
          releaseEvent(testsupport::CreateNamedEvent(release))
    {
        arguments.insert(arguments.begin() + 1, {ready, release});
        child.emplace(role, arguments);
    }
    bool WaitReady() { return ::WaitForSingleObject(readyEvent.get(), kWait) == WAIT_OBJECT_0; }
    DWORD Release()
    {
        ::SetEvent(releaseEvent.get());
        return child->Wait();
    }

    std::wstring ready, release;
    vt::unique_handle readyEvent, releaseEvent;
    std::optional<ChildProcess> child;
};

// The discretionary access list of a kernel object: its entries as (mask, is Everyone).
std::vector<std::pair<ACCESS_MASK, bool>> AccessEntries(HANDLE object)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::vector<std::pair<ACCESS_MASK, bool>> entries;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return entries;
    vt::unique_hlocal owner(descriptor);
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(everyone);
    ::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE)
            entries.emplace_back(ace->Mask, ::EqualSid(&ace->SidStart, everyone) != FALSE);
    }
    return entries;
}

} // namespace

TEST(NamedMutex, OwnershipOfANewMutex)
{
    NamedMutex owned(testsupport::UniqueName(L"mutex"), true, true);
    EXPECT_TRUE(owned.owned());
    NamedMutex notOwned(testsupport::UniqueName(L"mutex"), false, true);
    EXPECT_FALSE(notOwned.owned());
    EXPECT_TRUE(notOwned.TryLock());
    notOwned.Release();
    EXPECT_FALSE(notOwned.owned());
}

TEST(NamedMutex, LivesInTheGlobalNamespaceOpenToEveryone)
{
    const std::wstring name = testsupport::UniqueName(L"mutex");
    NamedMutex mutex(name, false, true);
    vt::unique_handle opened(::OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, (L"Global\\" + name).c_str()));
    ASSERT_TRUE(opened) << "Global\\" << testing::PrintToString(name) << " not found";
    const auto entries = AccessEntries(opened.get());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, static_cast<ACCESS_MASK>(MUTEX_ALL_ACCESS));
    EXPECT_TRUE(entries[0].second) << "the one entry is for Everyone";
}

TEST(NamedMutex, FreeOnceAnotherProcessReleasesOrAbandonsIt)
{
    // "abandon": the holder ends while owning the mutex, which counts as obtained here.
    for (const wchar_t* ending : {L"release", L"abandon"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(ending)));
        const std::wstring name = testsupport::UniqueName(L"mutex");
        Holder holder(L"hold-mutex", {name, ending});
        ASSERT_TRUE(holder.WaitReady());

        NamedMutex mutex(name, false, true);
        EXPECT_FALSE(mutex.owned());
        EXPECT_FALSE(mutex.TryLock()) << "the other process owns it";
        EXPECT_FALSE(mutex.owned());

        ASSERT_EQ(holder.Release(), 0u);
        EXPECT_TRUE(mutex.TryLock());
        EXPECT_TRUE(mutex.owned());
    }
}

TEST(NamedMutex, RequestedOwnershipWaitsForTheHolder)
{
    const std::wstring name = testsupport::UniqueName(L"mutex");
    Holder holder(L"hold-mutex", {name, L"release"});
    ASSERT_TRUE(holder.WaitReady());
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.Release();
    });
    // Only an existing mutex makes the constructor wait: it relies on ERROR_ALREADY_EXISTS
    // surviving the clean-up of the security descriptor.
    NamedMutex mutex(name, true, true);
    const bool holderEnded = ::WaitForSingleObject(holder.child->process(), 0) == WAIT_OBJECT_0 ||
                             ::WaitForSingleObject(holder.releaseEvent.get(), 0) == WAIT_OBJECT_0;
    releaser.join();
    EXPECT_TRUE(mutex.owned());
    EXPECT_TRUE(holderEnded) << "owned before the holder let go";
}

TEST(InstanceCounter, CountsRegisteredProcesses)
{
    const std::wstring id = testsupport::UniqueName(L"App");
    InstanceCounter counter(id);
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_EQ(counter.Count(), 1) << "counting leaves the count as it was";

    Holder other(L"register-in-counter", {id});
    ASSERT_TRUE(other.WaitReady());
    EXPECT_EQ(counter.Count(), 2);
    ASSERT_EQ(other.Release(), 0u);
    EXPECT_EQ(counter.Count(), 1) << "the other process gave its unit back at exit";
}

TEST(InstanceCounter, DestructionGivesTheUnitBack)
{
    const std::wstring id = testsupport::UniqueName(L"App");
    InstanceCounter counter(id);
    {
        InstanceCounter second(id);
        EXPECT_EQ(counter.Count(), 2);
    }
    EXPECT_EQ(counter.Count(), 1);

    vt::unique_handle opened(
        ::OpenSemaphoreW(READ_CONTROL | SYNCHRONIZE, FALSE, (L"Global\\" + InstanceCounterName(id)).c_str()));
    ASSERT_TRUE(opened);
    EXPECT_EQ(InstanceCounterName(L"Ostrel4"), L"Ostrel4.{a3526b56-ca7c-4e16-8a26-da7758a378fd}");
    const auto entries = AccessEntries(opened.get());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, static_cast<ACCESS_MASK>(SEMAPHORE_ALL_ACCESS));
    EXPECT_TRUE(entries[0].second);
}
