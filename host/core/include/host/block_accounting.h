// The blocks the host's basic suite gives out, accounted to the plug-in that asked,
// with fault injection for the tests.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "host/block_registry.h"
#include "hostapi/types.h"

namespace host {

class LoadedPlugin;
class EventLog;
class FaultPlan;

struct AllocationStats {
    std::size_t blocksOutstanding = 0;
    std::size_t bytesOutstanding = 0;
    std::size_t peakBytes = 0;
    std::size_t totalBlocks = 0;
    std::size_t totalBytes = 0;
    std::size_t refused = 0;
    std::size_t badFrees = 0;  // frees of blocks the host never gave out
};

class BlockAccounting {
public:
    // Small blocks a plug-in frees are kept by size and handed out again, as a real
    // host's heap does; the sanitizer build gives every block straight back, so that
    // a use after free is caught rather than served a recycled block.
#if defined(LUMARO_SANITIZED)
    static constexpr bool kRecycleByDefault = false;
#else
    static constexpr bool kRecycleByDefault = true;
#endif
    static constexpr std::size_t kLargestRecycled = 1024;

    BlockAccounting(EventLog& log, FaultPlan& faults, bool recycle = kRecycleByDefault)
        : m_log(log), m_faults(faults), m_recycle(recycle) {}
    ~BlockAccounting();
    BlockAccounting(const BlockAccounting&) = delete;
    BlockAccounting& operator=(const BlockAccounting&) = delete;

    // Null when refused (fault injection); the block is accounted to `owner`.
    void* Allocate(LoadedPlugin* owner, std::size_t size);
    // kNoErr, or kBadParameterErr for a block the host never gave out (reported, not freed).
    ASErr Free(LoadedPlugin* caller, void* block);
    // Null block: an allocation. On refusal the old block stays valid.
    ASErr Reallocate(LoadedPlugin* caller, void* block, std::size_t size, void** out);

    bool Owns(const void* block) const { return m_blocks.Find(block) != nullptr; }
    // Null owner: the host's own.
    AllocationStats Stats(const LoadedPlugin* owner) const;

    // The n-th allocation from now (1 = the next) is refused, once; 0 refuses none.
    void RefuseNthAllocation(std::size_t n);
    // Every allocation is refused while on.
    void RefuseAll(bool on) { m_refuseAll = on; }

private:
    bool ShouldRefuse();
    std::string OwnerName(const LoadedPlugin* owner) const;
    // Every block asks: the owner asked last answers without a lookup.
    AllocationStats& StatsOf(const LoadedPlugin* owner) {
        if (m_lastStats == nullptr || owner != m_lastOwner) return StatsOfOther(owner);
        return *m_lastStats;
    }
    AllocationStats& StatsOfOther(const LoadedPlugin* owner);

    static constexpr std::size_t kGranule = 16;
    static constexpr std::size_t kClasses = kLargestRecycled / kGranule;
    // The size class of a request, 1 to kClasses, or 0 when it is not recycled.
    std::size_t ClassOf(std::size_t size) const {
        if (!m_recycle || size > kLargestRecycled) return 0;
        return size == 0 ? 1 : (size + kGranule - 1) / kGranule;
    }
    void* Obtain(std::size_t size);
    void Release(void* block, std::size_t size);

    EventLog& m_log;
    FaultPlan& m_faults;
    const bool m_recycle;
    BlockRegistry m_blocks;
    // Blocks freed and kept, per size class (class k holds blocks of k granules).
    std::vector<void*> m_spare[kClasses + 1];
    std::map<const LoadedPlugin*, AllocationStats> m_stats;
    // The owner asked last; map nodes stay where they are.
    const LoadedPlugin* m_lastOwner = nullptr;
    AllocationStats* m_lastStats = nullptr;
    bool m_refuseAll = false;
};

}  // namespace host
