#pragma once

#include <cstdint>

// Counts the program's heap allocations (operator new), so a benchmark can report how
// many the served queries caused.
std::uint64_t HeapAllocationCount();
