#include "host/block_accounting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/event_log.h"
#include "host/fault_plan.h"
#include "hostapi/errors.h"

namespace {

using host::BlockAccounting;

// Both ways the host can keep its blocks: recycling small ones by size, as the
// release build does, and handing every one straight back, as the sanitizer build
// does. Each block is written over its whole size, so that a block smaller than
// asked for shows under the sanitizers.
TEST(BlockAccounting, SmallBlocksComeBackBySizeAndTheAccountsStayExact) {
    for (bool recycle : {true, false}) {
        SCOPED_TRACE(recycle ? "recycling" : "straight back");
        host::EventLog log;
        host::FaultPlan faults;
        BlockAccounting memory(log, faults, recycle);
        std::size_t held = 0;
        for (std::size_t size : {0, 1, 15, 16, 17, 100, 1023, 1024, 1025, 5000}) {
            SCOPED_TRACE(size);
            void* block = memory.Allocate(nullptr, size);
            ASSERT_NE(block, nullptr);
            std::memset(block, 0xA5, size);
            held += size;
            EXPECT_EQ(memory.Stats(nullptr).bytesOutstanding, held);
            ASSERT_EQ(memory.Free(nullptr, block), kNoErr);
            held -= size;
            EXPECT_FALSE(memory.Owns(block));
            // The same request again: a recycled size gets the very block back.
            void* again = memory.Allocate(nullptr, size);
            ASSERT_NE(again, nullptr);
            std::memset(again, 0x5A, size);
            if (recycle && size <= BlockAccounting::kLargestRecycled) {
                EXPECT_EQ(again, block);
            }
            held += size;
            EXPECT_EQ(memory.Stats(nullptr).blocksOutstanding, 1u);
            EXPECT_EQ(memory.Stats(nullptr).bytesOutstanding, held);
            ASSERT_EQ(memory.Free(nullptr, again), kNoErr);
            held -= size;
        }
        EXPECT_EQ(memory.Stats(nullptr).blocksOutstanding, 0u);
        EXPECT_EQ(memory.Stats(nullptr).bytesOutstanding, 0u);

        // A block freed twice is reported the second time and kept only once: the
        // next two blocks of its size are two blocks.
        void* once = memory.Allocate(nullptr, 40);
        ASSERT_EQ(memory.Free(nullptr, once), kNoErr);
        EXPECT_EQ(memory.Free(nullptr, once), kBadParameterErr);
        EXPECT_EQ(memory.Stats(nullptr).badFrees, 1u);
        void* first = memory.Allocate(nullptr, 40);
        void* second = memory.Allocate(nullptr, 40);
        EXPECT_NE(first, second);
        std::memset(first, 1, 40);
        std::memset(second, 2, 40);
        EXPECT_EQ(static_cast<unsigned char*>(first)[39], 1);
        memory.Free(nullptr, first);
        memory.Free(nullptr, second);
    }
}

// Blocks of different size classes never stand in for each other: a larger request
// does not get a smaller freed block.
TEST(BlockAccounting, AFreedBlockServesOnlyRequestsOfItsOwnSize) {
    host::EventLog log;
    host::FaultPlan faults;
    BlockAccounting memory(log, faults, true);
    std::vector<void*> small;
    for (int i = 0; i < 4; ++i) small.push_back(memory.Allocate(nullptr, 24));
    for (void* block : small) memory.Free(nullptr, block);
    void* larger = memory.Allocate(nullptr, 48);
    ASSERT_NE(larger, nullptr);
    std::memset(larger, 0, 48);
    for (void* block : small) EXPECT_NE(larger, block);
    memory.Free(nullptr, larger);
}

}  // namespace
