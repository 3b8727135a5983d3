#pragma once

namespace testsupport {

// Memory that runs out: while one lives, operator new of the test program succeeds `allowed`
// times and then fails with std::bad_alloc at every call, until it goes. One at a time. Linked
// through its own target (ZentrovaFailingAllocation), as it replaces operator new.
class FailingAllocation {
  public:
    explicit FailingAllocation(long allowed);
    FailingAllocation(const FailingAllocation &) = delete;
    FailingAllocation &operator=(const FailingAllocation &) = delete;
    ~FailingAllocation();

    // The allocations that succeeded meanwhile.
    long Used() const;
};

} // namespace testsupport
