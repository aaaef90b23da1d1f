// The host's live blocks by address, with their owner and size. A plug-in holds a
// block for every string of every record it keeps, so finding, adding and dropping
// one must cost about what a real allocator's bookkeeping does: one table in open
// addressing (linear probing, at most half full), no allocation per block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace host {

class LoadedPlugin;

class BlockRegistry {
public:
    struct Entry {
        const void* block = nullptr;  // null: a free slot
        LoadedPlugin* owner = nullptr;
        std::size_t size = 0;
    };

    BlockRegistry();

    // Null when the block is not registered.
    Entry* Find(const void* block);
    const Entry* Find(const void* block) const;
    // `block` is not null and not registered.
    void Insert(const void* block, LoadedPlugin* owner, std::size_t size);
    // `entry` came from Find and nothing was inserted or erased since.
    void Erase(Entry* entry);
    std::size_t Size() const { return m_count; }

    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const Entry& entry : m_slots)
            if (entry.block != nullptr) visit(entry);
    }

private:
    std::size_t Home(const void* block) const;
    void Grow();

    std::vector<Entry> m_slots;  // a power of two of them
    unsigned m_shift = 0;        // 64 minus the power
    std::size_t m_count = 0;
};

}  // namespace host
