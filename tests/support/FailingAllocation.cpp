#include "tests/support/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

bool s_active = false;
long s_left = 0;
long s_used = 0;

void *allocate(std::size_t size) {
    if (s_active) {
        if (s_left == 0)
            throw std::bad_alloc();
        --s_left;
        ++s_used;
    }
    if (void *p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void *allocateOrNull(std::size_t size) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

} // namespace

namespace testsupport {

FailingAllocation::FailingAllocation(long allowed) {
    s_left = allowed;
    s_used = 0;
    s_active = true;
}

FailingAllocation::~FailingAllocation() { s_active = false; }

long FailingAllocation::Used() const { return s_used; }

} // namespace testsupport

// Every form the program may call, so that what is allocated here is freed here.
void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    return allocateOrNull(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    return allocateOrNull(size);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
