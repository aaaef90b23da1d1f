#include "host/block_accounting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

#include "host/event_log.h"
#include "host/fault_plan.h"
#include "host/loaded_plugin.h"
#include "hostapi/errors.h"
#include "hostapi/sp_basic.h"

namespace host {

BlockAccounting::~BlockAccounting() {
    m_blocks.ForEach([](const BlockRegistry::Entry& e) { std::free(const_cast<void*>(e.block)); });
    for (std::size_t sizeClass = 1; sizeClass <= kClasses; ++sizeClass) {
        for (void* block : m_spare[sizeClass]) {
            ASAN_UNPOISON_MEMORY_REGION(block, sizeClass * kGranule);
            std::free(block);
        }
    }
}

// A block of at least `size` bytes (at least one: a block of 0 bytes is still a
// distinct block the plug-in may free), or null.
void* BlockAccounting::Obtain(std::size_t size) {
    const std::size_t sizeClass = ClassOf(size);
    if (sizeClass == 0) return std::malloc(std::max<std::size_t>(size, 1));
    std::vector<void*>& spare = m_spare[sizeClass];
    if (spare.empty()) return std::malloc(sizeClass * kGranule);
    void* block = spare.back();
    spare.pop_back();
    ASAN_UNPOISON_MEMORY_REGION(block, sizeClass * kGranule);
    return block;
}

void BlockAccounting::Release(void* block, std::size_t size) {
    const std::size_t sizeClass = ClassOf(size);
    if (sizeClass == 0) {
        std::free(block);
        return;
    }
    // Kept, but no one may touch it until it is handed out again.
    ASAN_POISON_MEMORY_REGION(block, sizeClass * kGranule);
    m_spare[sizeClass].push_back(block);
}

std::string BlockAccounting::OwnerName(const LoadedPlugin* owner) const {
    return owner == nullptr ? std::string() : owner->Name();
}

void BlockAccounting::RefuseNthAllocation(std::size_t n) {
    m_faults.FailNth(FaultKind::Allocation, static_cast<long>(n), kHostOutOfMemoryErr);
}

AllocationStats& BlockAccounting::StatsOfOther(const LoadedPlugin* owner) {
    m_lastStats = &m_stats[owner];
    m_lastOwner = owner;
    return *m_lastStats;
}

bool BlockAccounting::ShouldRefuse() {
    static const FaultSite kSite{
        FaultKind::Allocation, kSPBasicSuite, "AllocateBlock", true,
        FaultSiteSlot(FaultKind::Allocation, kSPBasicSuite, "AllocateBlock")};
    ASErr code = kNoErr;
    // Counted even while everything is refused, so that fault points stay numbered alike.
    const bool planned = m_faults.Take(kSite, &code);
    return m_refuseAll || planned;
}

void* BlockAccounting::Allocate(LoadedPlugin* owner, std::size_t size) {
    AllocationStats& stats = StatsOf(owner);
    if (ShouldRefuse()) {
        ++stats.refused;
        return nullptr;
    }
    void* block = Obtain(size);
    if (block == nullptr) {
        ++stats.refused;
        return nullptr;
    }
    m_blocks.Insert(block, owner, size);
    ++stats.blocksOutstanding;
    stats.bytesOutstanding += size;
    stats.peakBytes = std::max(stats.peakBytes, stats.bytesOutstanding);
    ++stats.totalBlocks;
    stats.totalBytes += size;
    return block;
}

ASErr BlockAccounting::Free(LoadedPlugin* caller, void* block) {
    if (block == nullptr) return kNoErr;
    BlockRegistry::Entry* entry = m_blocks.Find(block);
    if (entry == nullptr) {
        ++StatsOf(caller).badFrees;
        char address[32];
        std::snprintf(address, sizeof address, "%p", block);
        m_log.Add(EventKind::Problem, OwnerName(caller), "free of a block the host never gave out",
                  address);
        return kBadParameterErr;
    }
    AllocationStats& stats = StatsOf(entry->owner);
    const std::size_t size = entry->size;
    --stats.blocksOutstanding;
    stats.bytesOutstanding -= size;
    m_blocks.Erase(entry);
    Release(block, size);
    return kNoErr;
}

ASErr BlockAccounting::Reallocate(LoadedPlugin* caller, void* block, std::size_t size, void** out) {
    if (out == nullptr) return kBadParameterErr;
    *out = nullptr;
    if (block == nullptr) {
        *out = Allocate(caller, size);
        return *out == nullptr ? kHostOutOfMemoryErr : kNoErr;
    }
    const BlockRegistry::Entry* entry = m_blocks.Find(block);
    if (entry == nullptr) {
        ++StatsOf(caller).badFrees;
        m_log.Add(EventKind::Problem, OwnerName(caller),
                  "reallocation of a block the host never gave out");
        return kBadParameterErr;
    }
    LoadedPlugin* const owner = entry->owner;
    const std::size_t oldSize = entry->size;
    void* fresh = Allocate(owner, size);
    if (fresh == nullptr) return kHostOutOfMemoryErr;
    std::memcpy(fresh, block, std::min(oldSize, size));
    Free(caller, block);
    *out = fresh;
    return kNoErr;
}

AllocationStats BlockAccounting::Stats(const LoadedPlugin* owner) const {
    const auto it = m_stats.find(owner);
    return it == m_stats.end() ? AllocationStats{} : it->second;
}

}  // namespace host
