// Stands for a running copy of the product: holds one unit of the running-instance counter of
// an application id until told to end. Written against the raw semaphore, independently of the
// installer's own counter code.
// Usage: counter_holder <application id> <ready event> <release event>
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    const std::wstring name = L"Global\\" + std::wstring(argv[1]) + L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
    HANDLE counter = ::CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, name.c_str());
    if (counter == nullptr || !::ReleaseSemaphore(counter, 1, nullptr))
        return 3;
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"Local\\" + std::wstring(argv[2])).c_str());
    HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, (L"Local\\" + std::wstring(argv[3])).c_str());
    if (ready == nullptr || release == nullptr)
        return 4;
    ::SetEvent(ready);
    ::WaitForSingleObject(release, 120000);
    ::WaitForSingleObject(counter, 0); // the unit back
    ::CloseHandle(release);
    ::CloseHandle(ready);
    ::CloseHandle(counter);
    return 0;
}
