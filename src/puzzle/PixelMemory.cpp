#include "puzzle/PixelMemory.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;
constexpr std::size_t SmallPage = 4096;
// Below two huge pages an area has too little to gain to be worth a mapping of its own.
constexpr std::size_t MappedFrom = 2 * HugePage;

std::size_t MappedSize(std::size_t bytes) {
    return (bytes + SmallPage - 1) / SmallPage * SmallPage;
}

std::uintptr_t RoundUpToHugePage(std::uintptr_t address) {
    return (address + HugePage - 1) / HugePage * HugePage;
}

// Maps `bytes` starting on a huge page boundary: more is mapped, and the slack on either side
// given back.
void* MapAligned(std::size_t bytes) {
    const std::size_t size = MappedSize(bytes);
    void* mapped =
        mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = RoundUpToHugePage(start);
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    const std::size_t tail = start + size + HugePage - (aligned + size);
    if (tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    }
    return reinterpret_cast<void*>(aligned);
}

} // namespace

void* AllocatePixelMemory(std::size_t bytes) {
    if (bytes < MappedFrom) {
        return ::operator new(bytes);
    }
    void* memory = MapAligned(bytes);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    // Only whole huge pages are backed by them: the tail of the last one stays in small pages,
    // so the area takes no more memory than its size.
    madvise(memory, MappedSize(bytes) / HugePage * HugePage, MADV_HUGEPAGE);
    return memory;
}

void FreePixelMemory(void* memory, std::size_t bytes) noexcept {
    if (bytes < MappedFrom) {
        ::operator delete(memory);
        return;
    }
    munmap(memory, MappedSize(bytes));
}
