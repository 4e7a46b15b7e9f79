#include "app/named_objects.h"

#include <system_error>
#include <vector>

namespace {

using unique_sid = vt::unique_any<vt::null_handle_traits<PSID, &::FreeSid>>;

[[noreturn]] void ThrowLastError(const char* what)
{
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

// A security descriptor with one entry: `allAccess` allowed to everyone (S-1-1-0).
class EveryoneFullAccess {
public:
    explicit EveryoneFullAccess(DWORD allAccess)
    {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, m_everyone.put()))
            ThrowLastError("AllocateAndInitializeSid");
        m_acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(m_everyone.get()));
        auto* acl = reinterpret_cast<PACL>(m_acl.data());
        if (!::InitializeAcl(acl, static_cast<DWORD>(m_acl.size()), ACL_REVISION))
            ThrowLastError("InitializeAcl");
        if (!::AddAccessAllowedAce(acl, ACL_REVISION, allAccess, m_everyone.get()))
            ThrowLastError("AddAccessAllowedAce");
        if (!::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION))
            ThrowLastError("InitializeSecurityDescriptor");
        if (!::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE))
            ThrowLastError("SetSecurityDescriptorDacl");
        m_attributes.nLength = sizeof(m_attributes);
        m_attributes.lpSecurityDescriptor = &m_descriptor;
        m_attributes.bInheritHandle = FALSE;
    }
    SECURITY_ATTRIBUTES* attributes() noexcept { return &m_attributes; }

private:
    unique_sid m_everyone;
    std::vector<DWORD> m_acl; // DWORD elements keep the ACL aligned
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{};
};

// Creates the named object through `create`, under "Global\" + name and a descriptor that gives
// `allAccess` to everyone. Throws std::system_error when the descriptor cannot be built.
template <typename Create>
HANDLE CreateGlobalObject(const std::wstring& name, DWORD allAccess, Create create)
{
    DWORD lastError = 0;
    HANDLE handle = nullptr;
    {
        EveryoneFullAccess security(allAccess);
        handle = create(security.attributes(), (L"Global\\" + name).c_str());
        lastError = ::GetLastError();
    }
    // Freeing the descriptor may change the last error; the caller needs the creation's.
    ::SetLastError(lastError);
    return handle;
}

} // namespace

NamedMutex::NamedMutex(const std::wstring& name, bool initiallyOwned, bool global)
{
    const auto create = [initiallyOwned](SECURITY_ATTRIBUTES* attributes, const wchar_t* objectName) {
        return ::CreateMutexW(attributes, initiallyOwned, objectName);
    };
    try {
        m_mutex.reset(global ? CreateGlobalObject(name, MUTEX_ALL_ACCESS, create) : create(nullptr, name.c_str()));
    } catch (const std::system_error&) {
        // Without a descriptor there is no mutex: TryLock then reports it as held elsewhere,
        // which keeps a second installer from running unchecked.
        return;
    }
    if (!m_mutex || !initiallyOwned)
        return;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD wait = ::WaitForSingleObject(m_mutex.get(), INFINITE);
        m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    } else {
        m_owned = true;
    }
}

NamedMutex::~NamedMutex()
{
    Release();
}

bool NamedMutex::TryLock()
{
    if (!m_mutex)
        return false;
    const DWORD wait = ::WaitForSingleObject(m_mutex.get(), 0);
    m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return m_owned;
}

void NamedMutex::Release()
{
    if (m_owned)
        ::ReleaseMutex(m_mutex.get());
    m_owned = false;
}

std::wstring InstanceCounterName(const std::wstring& applicationId)
{
    return applicationId + L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
}

InstanceCounter::InstanceCounter(const std::wstring& applicationId)
{
    const auto create = [](SECURITY_ATTRIBUTES* attributes, const wchar_t* objectName) {
        return ::CreateSemaphoreW(attributes, 0, 0x7FFFFFFF, objectName);
    };
    m_semaphore.reset(CreateGlobalObject(InstanceCounterName(applicationId), SEMAPHORE_ALL_ACCESS, create));
    if (!m_semaphore)
        ThrowLastError("CreateSemaphoreW");
    if (::ReleaseSemaphore(m_semaphore.get(), 1, nullptr))
        m_held = 1;
}

InstanceCounter::~InstanceCounter()
{
    if (!m_semaphore)
        return;
    if (m_held > 0) {
        LONG taken = 0;
        while (taken < m_held && ::WaitForSingleObject(m_semaphore.get(), 0) == WAIT_OBJECT_0)
            ++taken;
        // All or nothing: if a unit could not be taken, give back what this pass took.
        if (taken < m_held && taken > 0)
            ::ReleaseSemaphore(m_semaphore.get(), taken, nullptr);
    } else if (m_held < 0) {
        ::ReleaseSemaphore(m_semaphore.get(), -m_held, nullptr);
    }
}

LONG InstanceCounter::Count()
{
    LONG previous = 0;
    if (!::ReleaseSemaphore(m_semaphore.get(), 1, &previous))
        return 0;
    ::WaitForSingleObject(m_semaphore.get(), 0);
    return previous;
}
