#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "fonts/FontLists.h"

namespace {

// Records that note their deletion, to show every record goes exactly once and
// through the virtual destructor.
int g_deletedItems = 0;
int g_deletedAvailable = 0;

class CountedItem : public CFontItem {
public:
    ~CountedItem() override { ++g_deletedItems; }
};

class CountedAvailable : public CFontItemAvailable {
public:
    ~CountedAvailable() override { ++g_deletedAvailable; }
};

class FontLists : public ::testing::Test {
protected:
    void SetUp() override {
        g_deletedItems = 0;
        g_deletedAvailable = 0;
    }
};

TEST_F(FontLists, RecordsStartEmpty) {
    const CFontItem item;
    EXPECT_FALSE(item.m_bMissing);
    for (const RecordString* s : {&item.m_strName, &item.m_strTechnology, &item.m_strOutlines})
        EXPECT_TRUE(s->empty());
    for (const RecordWString* s :
         {&item.m_wstrNameA0, &item.m_wstrNameA1, &item.m_wstrNameB0, &item.m_wstrNameB1,
          &item.m_wstrNameC0, &item.m_wstrNameC1, &item.m_wstrNameD})
        EXPECT_TRUE(s->empty());

    const CFontItemAvailable available;
    EXPECT_EQ(available.m_nAux1, 0);
    EXPECT_EQ(available.m_nAux2, 0);
    for (const RecordWString* s :
         {&available.m_wstrAux1, &available.m_wstrAux2, &available.m_wstrName,
          &available.m_wstrAux3, &available.m_wstrFontId, &available.m_wstrFontDetail})
        EXPECT_TRUE(s->empty());
}

TEST_F(FontLists, ClearingAnEmptyListLeavesItEmpty) {
    FontItemList items;
    AvailableItemList available;
    ClearFontItems(items);
    ClearAvailableItems(available);
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(available.empty());
}

TEST_F(FontLists, ClearDeletesEveryRecordOnceAndSkipsNullEntries) {
    struct Layout {
        const char* name;
        std::vector<bool> isNull;
    };
    const std::vector<Layout> layouts = {
        {"records only", {false, false, false}},
        {"null first", {true, false, false}},
        {"null in the middle", {false, true, false}},
        {"null last", {false, false, true}},
        {"nulls only", {true, true}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        g_deletedItems = g_deletedAvailable = 0;
        FontItemList items;
        AvailableItemList available;
        int records = 0;
        for (bool isNull : layout.isNull) {
            items.push_back(isNull ? nullptr : new CountedItem);
            available.push_back(isNull ? nullptr : new CountedAvailable);
            records += isNull ? 0 : 1;
        }
        ClearFontItems(items);
        ClearAvailableItems(available);
        EXPECT_TRUE(items.empty());
        EXPECT_TRUE(available.empty());
        EXPECT_EQ(items.capacity(), 0u);
        EXPECT_EQ(available.capacity(), 0u);
        EXPECT_EQ(g_deletedItems, records);
        EXPECT_EQ(g_deletedAvailable, records);

        // Emptied for a refill: the same deletions, the storage kept.
        g_deletedItems = 0;
        for (bool isNull : layout.isNull) items.push_back(isNull ? nullptr : new CountedItem);
        const std::size_t capacity = items.capacity();
        EmptyFontItemsForRefill(items);
        EXPECT_TRUE(items.empty());
        EXPECT_EQ(items.capacity(), capacity);
        EXPECT_EQ(g_deletedItems, records);
        ClearFontItems(items);
        EXPECT_EQ(g_deletedItems, records);
    }
}

TEST_F(FontLists, GlobalListsAreEmptiedByTheirClearOperations) {
    g_fontitems.push_back(new CountedItem);
    g_fontitems.push_back(new CountedItem);
    g_fontitemsAvailable.push_back(new CountedAvailable);
    ClearFontItems(g_fontitems);
    ClearAvailableItems(g_fontitemsAvailable);
    EXPECT_TRUE(g_fontitems.empty());
    EXPECT_TRUE(g_fontitemsAvailable.empty());
    EXPECT_EQ(g_deletedItems, 2);
    EXPECT_EQ(g_deletedAvailable, 1);
    // A second clear finds nothing left to delete.
    ClearFontItems(g_fontitems);
    EXPECT_EQ(g_deletedItems, 2);
}

// A record made with room holds its texts in its own block; a text that finds no
// room, or outgrows it later, takes memory of its own and is given back all the same
// (the sanitizers see a wrong release or a leak).
TEST_F(FontLists, ARecordKeepsItsTextsInItsOwnBlockAndOverflowsSafely) {
    const std::string name(40, 'n');
    const std::wstring wide(30, L'w');
    const CFontItem::Room room{CFontItem::RoomFor<char>(name.size()) +
                               CFontItem::RoomFor<wchar_t>(wide.size())};
    std::unique_ptr<CFontItem> item = CFontItem::Create(room);
    const auto inBlock = [&](const void* text) {
        const auto* begin = reinterpret_cast<const char*>(item.get());
        const auto* at = static_cast<const char*>(text);
        return at >= begin && at < begin + sizeof(CFontItem) + room.bytes;
    };
    CFontItem::SetText(item->m_strName, name.data(), name.size());
    CFontItem::SetText(item->m_wstrNameB0, wide.data(), wide.size());
    EXPECT_TRUE(inBlock(item->m_strName.data()));
    EXPECT_TRUE(inBlock(item->m_wstrNameB0.data()));

    CFontItem::SetText(item->m_wstrNameD, wide.data(), wide.size());
    EXPECT_FALSE(inBlock(item->m_wstrNameD.data()));
    item->m_strName += std::string(100, 'x');
    EXPECT_FALSE(inBlock(item->m_strName.data()));
    EXPECT_EQ(std::string_view(item->m_strName), name + std::string(100, 'x'));
    EXPECT_EQ(std::wstring_view(item->m_wstrNameB0), wide);
    EXPECT_EQ(std::wstring_view(item->m_wstrNameD), wide);
}

}  // namespace
