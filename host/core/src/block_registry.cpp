#include "host/block_registry.h"

namespace host {

namespace {

constexpr unsigned kFirstPower = 6;

}  // namespace

BlockRegistry::BlockRegistry()
    : m_slots(std::size_t{1} << kFirstPower), m_shift(64 - kFirstPower) {}

// Fibonacci hashing: the high bits of the product spread addresses that differ
// only in their middle bits (heap blocks 16 bytes apart) over the whole table.
std::size_t BlockRegistry::Home(const void* block) const {
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(block));
    return static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> m_shift);
}

const BlockRegistry::Entry* BlockRegistry::Find(const void* block) const {
    if (block == nullptr) return nullptr;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = Home(block);; i = (i + 1) & mask) {
        const Entry& slot = m_slots[i];
        if (slot.block == block) return &slot;
        if (slot.block == nullptr) return nullptr;
    }
}

BlockRegistry::Entry* BlockRegistry::Find(const void* block) {
    return const_cast<Entry*>(static_cast<const BlockRegistry*>(this)->Find(block));
}

void BlockRegistry::Insert(const void* block, LoadedPlugin* owner, std::size_t size) {
    if (2 * (m_count + 1) > m_slots.size()) Grow();
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = Home(block);
    while (m_slots[i].block != nullptr) i = (i + 1) & mask;
    m_slots[i] = Entry{block, owner, size};
    ++m_count;
}

void BlockRegistry::Erase(Entry* entry) {
    // Backward shift: every later entry of the run that may live in the hole
    // moves into it, so that no search stops early at a gap.
    const std::size_t mask = m_slots.size() - 1;
    std::size_t hole = static_cast<std::size_t>(entry - m_slots.data());
    for (std::size_t next = (hole + 1) & mask; m_slots[next].block != nullptr;
         next = (next + 1) & mask) {
        const std::size_t home = Home(m_slots[next].block);
        // The entry stays when its home lies cyclically in (hole, next].
        const bool stays =
            hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!stays) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
    }
    m_slots[hole] = Entry{};
    --m_count;
}

void BlockRegistry::Grow() {
    std::vector<Entry> old(m_slots.size() * 2);
    old.swap(m_slots);
    --m_shift;
    m_count = 0;
    for (const Entry& entry : old)
        if (entry.block != nullptr) Insert(entry.block, entry.owner, entry.size);
}

}  // namespace host
