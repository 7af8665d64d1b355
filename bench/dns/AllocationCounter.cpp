#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

// The benchmark server is single-threaded.
std::uint64_t g_allocations = 0;

}  // namespace

std::uint64_t HeapAllocationCount() {
    return g_allocations;
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    std::abort();
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
