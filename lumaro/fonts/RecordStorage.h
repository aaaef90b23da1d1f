// A record and its strings in one heap block. A scan or lookup builds thousands of
// records, each with up to nine strings; taken one block a string from the host, the
// allocation and release cost more than the rest of the work. A record made with
// room keeps its strings right behind itself, so that it costs one block and one
// release however many strings it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <new>
#include <string>
#include <string_view>

// A record's strings: they take their memory from the record they belong to.
using RecordString = std::pmr::string;
using RecordWString = std::pmr::wstring;

class RecordStorage {
public:
    // Bytes reserved behind a record for its strings.
    struct Room {
        std::size_t bytes;
    };

    // Room enough for a string of `length` characters and its terminator; none for a
    // text short enough for the string to hold in itself.
    template <typename Char>
    static std::size_t RoomFor(std::size_t length) {
        static_assert(sizeof(Char) <= kRoomUnit);
        if (length <= std::basic_string<Char>().capacity()) return 0;
        return ((length + 1) * sizeof(Char) + kRoomUnit - 1) / kRoomUnit * kRoomUnit;
    }

    // `new Record` takes the plug-in's memory as any object does; `new (room) Record`
    // takes the room with it, in the same block.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, Room room);
    static void operator delete(void* block) noexcept;
    static void operator delete(void* block, Room room) noexcept;

    RecordStorage(const RecordStorage&) = delete;
    RecordStorage& operator=(const RecordStorage&) = delete;

protected:
    // The room is the `room` bytes right behind the `objectSize` bytes of the record at
    // `object`; a record not made by `new (room)` must pass no room.
    RecordStorage(void* object, std::size_t objectSize, Room room) noexcept;
    ~RecordStorage() = default;

    // The memory the record's strings are made with.
    std::pmr::memory_resource* Strings() noexcept { return &m_arena; }

    // Sets a string to exactly its text, taking no more of the room than it needs
    // (an assignment would round its capacity up).
    template <typename Char, typename Source>
    static void SetText(std::pmr::basic_string<Char>& field, const Source* text,
                        std::size_t length) {
        field = std::pmr::basic_string<Char>(text, text + length, field.get_allocator());
    }

private:
    // The unit rooms are counted in: every string's start is aligned within it.
    static constexpr std::size_t kRoomUnit = alignof(wchar_t);

    // Hands out the room in order; what does not fit, or comes after the room is used
    // up, is an allocation of its own. Memory given back inside the room is reused
    // only when it was the last piece handed out.
    class Arena final : public std::pmr::memory_resource {
    public:
        Arena(std::byte* room, std::size_t bytes) noexcept;

    private:
        void* do_allocate(std::size_t bytes, std::size_t alignment) override;
        void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override;
        bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
            return this == &other;
        }

        std::uintptr_t m_begin;
        std::uintptr_t m_next;
        std::uintptr_t m_end;
    };

    Arena m_arena;
};
