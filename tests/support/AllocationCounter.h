#pragma once

#include <cstddef>

/** Counts heap allocations made by the current thread while a ScopedAllocationCount is alive.
    The test binary replaces the global operator new to feed it. */
class ScopedAllocationCount
{
public:
    ScopedAllocationCount();
    ~ScopedAllocationCount();

    std::size_t getCount() const noexcept;

private:
    std::size_t startCount;
};
