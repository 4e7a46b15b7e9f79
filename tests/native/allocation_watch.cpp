#include "tests/native/allocation_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_largestAllocation{0};
std::atomic<bool> g_watching{false};

void* Allocate(std::size_t size)
{
    if (g_watching.load(std::memory_order_relaxed)) {
        std::size_t largest = g_largestAllocation.load(std::memory_order_relaxed);
        while (size > largest && !g_largestAllocation.compare_exchange_weak(largest, size)) {
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace allocation_watch {

void Start() noexcept
{
    g_largestAllocation = 0;
    g_watching = true;
}

std::size_t Stop() noexcept
{
    g_watching = false;
    return g_largestAllocation.load();
}

} // namespace allocation_watch
