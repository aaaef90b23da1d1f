#include "host/block_accounting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/event_log.h"
#include "host/fault_plan.h"
#include "host/loaded_plugin.h"
#include "hostapi/errors.h"
#include "hostapi/sp_basic.h"

namespace host {

BlockAccounting::~BlockAccounting() {
    for (auto& entry : m_blocks) std::free(const_cast<void*>(entry.first));
}

std::string BlockAccounting::OwnerName(const LoadedPlugin* owner) const {
    return owner == nullptr ? std::string() : owner->Name();
}

void BlockAccounting::RefuseNthAllocation(std::size_t n) {
    m_faults.FailNth(FaultKind::Allocation, static_cast<long>(n), kHostOutOfMemoryErr);
}

bool BlockAccounting::ShouldRefuse() {
    static const FaultSite kSite{FaultKind::Allocation, kSPBasicSuite, "AllocateBlock", true};
    ASErr code = kNoErr;
    // Counted even while everything is refused, so that fault points stay numbered alike.
    const bool planned = m_faults.Take(kSite, &code);
    return m_refuseAll || planned;
}

void* BlockAccounting::Allocate(LoadedPlugin* owner, std::size_t size) {
    AllocationStats& stats = m_stats[owner];
    if (ShouldRefuse()) {
        ++stats.refused;
        return nullptr;
    }
    // A block of 0 bytes is still a distinct block the plug-in may free.
    void* block = std::malloc(std::max<std::size_t>(size, 1));
    if (block == nullptr) {
        ++stats.refused;
        return nullptr;
    }
    m_blocks[block] = Block{owner, size};
    ++stats.blocksOutstanding;
    stats.bytesOutstanding += size;
    stats.peakBytes = std::max(stats.peakBytes, stats.bytesOutstanding);
    ++stats.totalBlocks;
    stats.totalBytes += size;
    return block;
}

ASErr BlockAccounting::Free(LoadedPlugin* caller, void* block) {
    if (block == nullptr) return kNoErr;
    const auto it = m_blocks.find(block);
    if (it == m_blocks.end()) {
        ++m_stats[caller].badFrees;
        char address[32];
        std::snprintf(address, sizeof address, "%p", block);
        m_log.Add(EventKind::Problem, OwnerName(caller), "free of a block the host never gave out",
                  address);
        return kBadParameterErr;
    }
    AllocationStats& stats = m_stats[it->second.owner];
    --stats.blocksOutstanding;
    stats.bytesOutstanding -= it->second.size;
    m_blocks.erase(it);
    std::free(block);
    return kNoErr;
}

ASErr BlockAccounting::Reallocate(LoadedPlugin* caller, void* block, std::size_t size, void** out) {
    if (out == nullptr) return kBadParameterErr;
    *out = nullptr;
    if (block == nullptr) {
        *out = Allocate(caller, size);
        return *out == nullptr ? kHostOutOfMemoryErr : kNoErr;
    }
    const auto it = m_blocks.find(block);
    if (it == m_blocks.end()) {
        ++m_stats[caller].badFrees;
        m_log.Add(EventKind::Problem, OwnerName(caller),
                  "reallocation of a block the host never gave out");
        return kBadParameterErr;
    }
    const Block old = it->second;
    void* fresh = Allocate(old.owner, size);
    if (fresh == nullptr) return kHostOutOfMemoryErr;
    std::memcpy(fresh, block, std::min(old.size, size));
    Free(caller, block);
    *out = fresh;
    return kNoErr;
}

AllocationStats BlockAccounting::Stats(const LoadedPlugin* owner) const {
    const auto it = m_stats.find(owner);
    return it == m_stats.end() ? AllocationStats{} : it->second;
}

}  // namespace host
