#pragma once
// The run-time library's records of the last failed operating-system call and file operation
// (_doserrno, errno). The extraction reads them to name the cause of a stream failure, so they
// must hold nothing older than the extraction's own work.
#include <cerrno>
#include <cstdlib>

inline void ForgetRuntimeErrors() noexcept
{
    _doserrno = 0;
    errno = 0;
}
