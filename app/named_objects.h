#pragma once
// Named kernel objects in the global namespace, shared by every installer and every copy of
// the product on the machine, whichever user started them.
#include "framework/unique_resource.h"

#include <string>

class NamedMutex {
public:
    // Creates or opens the mutex. With initiallyOwned, waits (without time limit) until this
    // process owns it. Not global: the plain name with default security.
    NamedMutex(const std::wstring& name, bool initiallyOwned, bool global);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the mutex if it is free (an abandoned mutex counts as free); false without a handle.
    bool TryLock();
    void Release();
    bool owned() const noexcept { return m_owned; }

private:
    vt::unique_handle m_mutex;
    bool m_owned = false;
};

// The running-instance counter: a semaphore to which every running program of one application
// id adds a unit, so that the installer can see a running copy of the product.
class InstanceCounter {
public:
    // Creates or opens the application's semaphore and adds this process's unit. Throws
    // std::system_error when the semaphore cannot be created.
    explicit InstanceCounter(const std::wstring& applicationId);
    ~InstanceCounter();
    InstanceCounter(const InstanceCounter&) = delete;
    InstanceCounter& operator=(const InstanceCounter&) = delete;

    // The number of registered processes (1 when only this one runs; 0 when it cannot be read).
    LONG Count();

private:
    vt::unique_handle m_semaphore;
    LONG m_held = 0; // units this process has added
};

// The name both the installer and the product use for their counter.
std::wstring InstanceCounterName(const std::wstring& applicationId);
