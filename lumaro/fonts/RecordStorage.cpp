#include "fonts/RecordStorage.h"

namespace {

void* AllocateAligned(std::size_t bytes, std::size_t alignment) {
    if (alignment > __STDCPP_DEFAULT_NEW_ALIGNMENT__)
        return ::operator new(bytes, std::align_val_t(alignment));
    return ::operator new(bytes);
}

void FreeAligned(void* block, std::size_t alignment) noexcept {
    if (alignment > __STDCPP_DEFAULT_NEW_ALIGNMENT__) {
        ::operator delete(block, std::align_val_t(alignment));
    } else {
        ::operator delete(block);
    }
}

}  // namespace

void* RecordStorage::operator new(std::size_t size) { return ::operator new(size); }

void* RecordStorage::operator new(std::size_t size, Room room) {
    if (room.bytes > SIZE_MAX - size) throw std::bad_alloc();
    return ::operator new(size + room.bytes);
}

void RecordStorage::operator delete(void* block) noexcept { ::operator delete(block); }

void RecordStorage::operator delete(void* block, Room) noexcept { ::operator delete(block); }

RecordStorage::RecordStorage(void* object, std::size_t objectSize, Room room) noexcept
    : m_arena(static_cast<std::byte*>(object) + objectSize, room.bytes) {}

RecordStorage::Arena::Arena(std::byte* room, std::size_t bytes) noexcept
    : m_begin(reinterpret_cast<std::uintptr_t>(room)), m_next(m_begin), m_end(m_begin + bytes) {}

void* RecordStorage::Arena::do_allocate(std::size_t bytes, std::size_t alignment) {
    // Never an empty piece: a piece of the room always lies before its end, so that
    // no block of its own can be taken for one.
    const std::size_t size = bytes > 0 ? bytes : 1;
    const std::uintptr_t start = (m_next + alignment - 1) & ~(std::uintptr_t{alignment} - 1);
    if (start >= m_next && start <= m_end && size <= m_end - start) {
        m_next = start + size;
        return reinterpret_cast<void*>(start);
    }
    return AllocateAligned(bytes, alignment);
}

void RecordStorage::Arena::do_deallocate(void* block, std::size_t bytes, std::size_t alignment) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (address >= m_begin && address < m_end) {
        if (address + (bytes > 0 ? bytes : 1) == m_next) m_next = address;
        return;
    }
    FreeAligned(block, alignment);
}
