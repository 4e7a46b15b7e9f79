#pragma once
// Memory in another process (or this one), for the pointers that a message to one of its
// windows carries; released when the object goes.
#include "framework/unique_resource.h"

#include <windows.h>

namespace testsupport {

// Memory in the process of a window, for the pointers that a message carries.
class RemoteMemory {
public:
    RemoteMemory(HWND window, SIZE_T size)
    {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        m_process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (m_process)
            m_address = ::VirtualAllocEx(m_process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteMemory()
    {
        if (m_address != nullptr)
            ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const noexcept { return m_address != nullptr; }
    char* address(SIZE_T offset = 0) const noexcept { return static_cast<char*>(m_address) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        SIZE_T written = 0;
        return ::WriteProcessMemory(m_process.get(), address(offset), data, size, &written) && written == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        SIZE_T read = 0;
        return ::ReadProcessMemory(m_process.get(), address(offset), data, size, &read) && read == size;
    }

private:
    vt::unique_handle m_process;
    void* m_address = nullptr;
};

} // namespace testsupport
