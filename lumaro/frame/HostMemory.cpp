#include "frame/HostMemory.h"

#include "frame/Suites.h"

void* PluginAlloc(std::size_t size) noexcept {
    if (g_spBasic == nullptr || g_spBasic->AllocateBlock == nullptr) return nullptr;
    void* block = nullptr;
    // A zero-byte request still needs a distinct block.
    if (g_spBasic->AllocateBlock(size == 0 ? 1 : size, &block) != kNoErr) return nullptr;
    return block;
}

void PluginFree(void* block) noexcept {
    if (block == nullptr || g_spBasic == nullptr || g_spBasic->FreeBlock == nullptr) return;
    g_spBasic->FreeBlock(block);
}
