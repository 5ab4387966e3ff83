/*
 * faultinject.cpp - replacements of the global operator new and delete that
 * can fail one chosen allocation (see faultinject.h).
 *
 * Memory comes from malloc and goes back to free, so the sanitizers still see
 * every block; the delete forms must match, or a block from here would reach
 * another allocator.
 */
#include "faultinject.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> countdown{0}; /* allocations until the failing one; 0: unarmed */
std::atomic<bool> fired{false};
std::atomic<unsigned long> allocations{0};

bool failThisOne()
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    long left = countdown.load();
    while (left > 0 && !countdown.compare_exchange_weak(left, left - 1)) {
    }
    if (left != 1)
        return false;
    fired = true;
    return true;
}

void *allocate(std::size_t size, std::size_t alignment) noexcept
{
    if (failThisOne())
        return nullptr;
    if (size == 0)
        size = 1;
    if (alignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__)
        return std::malloc(size);
    void *block = nullptr;
    return posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

void *allocateOrThrow(std::size_t size, std::size_t alignment)
{
    void *block = allocate(size, alignment);
    if (!block)
        throw std::bad_alloc();
    return block;
}

constexpr std::size_t kPlain = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

} // namespace

void faultArm(long n)
{
    fired = false;
    countdown = n;
}

void faultDisarm()
{
    countdown = 0;
}

bool faultFired()
{
    return fired;
}

unsigned long faultAllocationCount()
{
    return allocations.load();
}

void *operator new(std::size_t size) { return allocateOrThrow(size, kPlain); }
void *operator new[](std::size_t size) { return allocateOrThrow(size, kPlain); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return allocate(size, kPlain); }
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return allocate(size, kPlain); }
void *operator new(std::size_t size, std::align_val_t a) { return allocateOrThrow(size, static_cast<std::size_t>(a)); }
void *operator new[](std::size_t size, std::align_val_t a) { return allocateOrThrow(size, static_cast<std::size_t>(a)); }
void *operator new(std::size_t size, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(size, static_cast<std::size_t>(a));
}
void *operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t &) noexcept
{
    return allocate(size, static_cast<std::size_t>(a));
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
