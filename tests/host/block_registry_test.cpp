#include "host/block_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace {

using host::BlockRegistry;
using host::LoadedPlugin;

const void* Address(std::uintptr_t n) { return reinterpret_cast<const void*>(n); }
LoadedPlugin* Owner(std::uintptr_t n) { return reinterpret_cast<LoadedPlugin*>(n); }

// The registry against a map, through growth and long runs of erasures: every
// registered block is found with its owner and size, and no other.
void ExpectSameAs(const BlockRegistry& registry, const std::map<const void*, std::size_t>& model,
                  const std::vector<const void*>& everyAddress) {
    ASSERT_EQ(registry.Size(), model.size());
    for (const void* address : everyAddress) {
        const BlockRegistry::Entry* entry = registry.Find(address);
        const auto it = model.find(address);
        if (it == model.end()) {
            EXPECT_EQ(entry, nullptr) << address;
        } else {
            ASSERT_NE(entry, nullptr) << address;
            EXPECT_EQ(entry->size, it->second);
            EXPECT_EQ(entry->owner, Owner(it->second % 3 + 1));
        }
    }
}

TEST(BlockRegistry, AgreesWithAMapThroughGrowthAndErasure) {
    struct Case {
        const char* name;
        std::uintptr_t stride;  // heap blocks sit close together; some far apart
        std::size_t blocks;
    };
    for (const Case& c : {Case{"dense", 16, 3000}, Case{"page apart", 4096, 1500},
                          Case{"far apart", std::uintptr_t{1} << 32, 700}}) {
        SCOPED_TRACE(c.name);
        std::vector<const void*> addresses;
        for (std::size_t i = 1; i <= c.blocks; ++i) addresses.push_back(Address(i * c.stride));
        BlockRegistry registry;
        std::map<const void*, std::size_t> model;
        std::mt19937 random(7);
        // Grow to every block, then churn: erase and insert at random.
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            registry.Insert(addresses[i], Owner(i % 3 + 1), i);
            model[addresses[i]] = i;
        }
        ExpectSameAs(registry, model, addresses);
        for (int round = 0; round < 6000; ++round) {
            const void* address = addresses[random() % addresses.size()];
            if (BlockRegistry::Entry* entry = registry.Find(address)) {
                registry.Erase(entry);
                model.erase(address);
            } else {
                const std::size_t size = static_cast<std::size_t>(round);
                registry.Insert(address, Owner(size % 3 + 1), size);
                model[address] = size;
            }
            if (round % 500 == 0) ExpectSameAs(registry, model, addresses);
        }
        ExpectSameAs(registry, model, addresses);
        // Everything out again, in a scrambled order.
        std::shuffle(addresses.begin(), addresses.end(), random);
        for (const void* address : addresses) {
            if (BlockRegistry::Entry* entry = registry.Find(address)) registry.Erase(entry);
            model.erase(address);
        }
        ExpectSameAs(registry, model, addresses);
        std::size_t visited = 0;
        registry.ForEach([&](const BlockRegistry::Entry&) { ++visited; });
        EXPECT_EQ(visited, 0u);
    }
}

TEST(BlockRegistry, NullIsNeverABlock) {
    BlockRegistry registry;
    EXPECT_EQ(registry.Find(nullptr), nullptr);
    registry.Insert(Address(64), nullptr, 0);
    EXPECT_EQ(registry.Find(nullptr), nullptr);
    ASSERT_NE(registry.Find(Address(64)), nullptr);
    EXPECT_EQ(registry.Find(Address(64))->owner, nullptr);
}

}  // namespace
