// The module's global allocation functions. Built into the module only:
// with the C++ runtime linked inside the module, every allocation it makes,
// the standard library's own included, lands here and so in host memory.
#include <cstddef>
#include <new>

#include "frame/HostMemory.h"

namespace {

void* AllocateOrThrow(std::size_t size) {
    // Containers and strings write through what they get, so refusal must throw.
    void* block = PluginAlloc(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// The host's blocks are aligned for any fundamental type; larger alignments
// are met by over-allocating and keeping the host block's address in front.
void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
    const std::size_t align = static_cast<std::size_t>(alignment);
    void* raw = PluginAlloc(size + align + sizeof(void*));
    if (raw == nullptr) return nullptr;
    auto address = reinterpret_cast<std::size_t>(raw) + sizeof(void*);
    address = (address + align - 1) & ~(align - 1);
    reinterpret_cast<void**>(address)[-1] = raw;
    return reinterpret_cast<void*>(address);
}

void FreeAligned(void* block) noexcept {
    if (block != nullptr) PluginFree(static_cast<void**>(block)[-1]);
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return PluginAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return PluginAlloc(size); }
void operator delete(void* block) noexcept { PluginFree(block); }
void operator delete[](void* block) noexcept { PluginFree(block); }
void operator delete(void* block, std::size_t) noexcept { PluginFree(block); }
void operator delete[](void* block, std::size_t) noexcept { PluginFree(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { PluginFree(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { PluginFree(block); }

void* operator new(std::size_t size, std::align_val_t alignment) {
    void* block = AllocateAligned(size, alignment);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}
void operator delete(void* block, std::align_val_t) noexcept { FreeAligned(block); }
void operator delete[](void* block, std::align_val_t) noexcept { FreeAligned(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { FreeAligned(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { FreeAligned(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(block);
}
