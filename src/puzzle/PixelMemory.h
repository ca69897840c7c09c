#pragma once

#include <cstddef>
#include <new>

// Memory for screen-sized pixel areas. A large area is mapped on its own, aligned to 2 MiB and
// marked for transparent huge pages, so that its first touch costs one fault per 2 MiB rather
// than one per 4 KiB; small areas come from the heap.
void* AllocatePixelMemory(std::size_t bytes);
void FreePixelMemory(void* memory, std::size_t bytes) noexcept;

template <typename T>
struct PixelAllocator {
    using value_type = T;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(AllocatePixelMemory(count * sizeof(T)));
    }
    void deallocate(T* memory, std::size_t count) noexcept {
        FreePixelMemory(memory, count * sizeof(T));
    }

    template <typename U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }
};
