#include "app/named_objects.h"

#include "engine/access_rights.h"
#include "engine/advapi.h"

#include <system_error>

namespace {

[[noreturn]] void ThrowLastError(const char* what)
{
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

// A security descriptor with one entry: `allAccess` allowed to everyone (S-1-1-0). Throws
// std::system_error when it cannot be built.
class EveryoneFullAccess {
public:
    explicit EveryoneFullAccess(DWORD allAccess)
    try : m_acl(EveryoneAccessList(allAccess)) {
        m_descriptor.SetAccessList(m_acl.get());
        m_attributes.nLength = sizeof(m_attributes);
        m_attributes.lpSecurityDescriptor = m_descriptor.get();
        m_attributes.bInheritHandle = FALSE;
    } catch (HRESULT error) {
        throw std::system_error(SystemErrorOfHresult(error), "security descriptor");
    }
    SECURITY_ATTRIBUTES* attributes() noexcept { return &m_attributes; }

private:
    OwnedAcl m_acl;
    AbsoluteDescriptor m_descriptor;
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
