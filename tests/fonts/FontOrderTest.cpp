#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fonts/FontOrder.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

struct NamePair {
    const char* a;
    const char* b;
    int expectedSign;
};

TEST(CompareFontNames, FoldsAsciiLettersOnlyAndComparesBytesUnsigned) {
    const std::vector<NamePair> cases = {
        {"", "", 0},
        {"", "A", -1},
        {"arial", "Arial Black", -1},  // a prefix sorts first, case aside
        {"ARIAL", "arial", 0},
        {"Times", "times", 0},
        {"_Zapf", "Zapf", -1},  // '_' (0x5F) sorts before 'z' (0x7A), not 'Z' (0x5A)
        {"9Point", "APoint", -1},
        {"Zeta", "\xC4rial", -1},  // bytes of 128 and up after every letter
        {"z", "\x80", -1},
        {"\xC4", "\xE4", -1},  // no folding beyond ASCII, whatever the locale
        {"[", "a", -1},        // '[' lies between 'Z' and 'a': folding puts it before letters
        {"@", "a", -1},
        {"Helvetica-Bold", "Helvetica", 1},
    };
    for (const NamePair& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(Sign(CompareFontNames(c.a, c.b)), c.expectedSign);
        EXPECT_EQ(Sign(CompareFontNames(c.b, c.a)), -c.expectedSign);
    }
}

TEST(CompareFontNames, ResultIsTheDifferenceOfTheFoldedBytes) {
    EXPECT_EQ(CompareFontNames("B", "a"), 'b' - 'a');
    EXPECT_EQ(CompareFontNames("a", "\xFF"), 'a' - 0xFF);
    EXPECT_EQ(CompareFontNames("ab", "a"), 'b');
    // Bytes that differ only in case do not decide; the first that differs folded does.
    EXPECT_EQ(CompareFontNames("abcX", "ABCy"), 'x' - 'y');
    // A zero byte inside a name reads like the end of the shorter name: what follows it
    // still takes part.
    EXPECT_EQ(CompareFontNames(std::string("ab\0C", 4), "AB"), 'c');
    EXPECT_EQ(CompareFontNames("AB", std::string("ab\0C", 4)), -'c');
    EXPECT_EQ(CompareFontNames(std::string("ab\0", 3), "ab"), 0);
}

class SortedNames : public ::testing::Test {
protected:
    void Add(const char* name) {
        CFontItem* item = new CFontItem;
        item->m_strName = name;
        m_items.push_back(item);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const CFontItem* item : m_items)
            names.push_back(item ? std::string(item->m_strName.begin(), item->m_strName.end())
                                 : "<null>");
        return names;
    }
    void TearDown() override { ClearFontItems(m_items); }

    FontItemList m_items;
};

TEST_F(SortedNames, SortAscendingWithoutRegardToCase) {
    for (const char* name :
         {"zeta", "Zapf", "\xC4rial", "Alpha", "_Zapf", "", "Arial Black", "beta", "arial", "2Col"})
        Add(name);
    SortFontItems(m_items);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"", "2Col", "_Zapf", "Alpha", "arial", "Arial Black",
                                        "beta", "Zapf", "zeta", "\xC4rial"}));
}

TEST_F(SortedNames, DuplicatesAndCaseVariantsAreAllKept) {
    for (const char* name : {"times", "Courier", "Times", "times", "Courier"}) Add(name);
    SortFontItems(m_items);
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], "Courier");
    EXPECT_EQ(names[1], "Courier");
    for (size_t i = 2; i < 5; ++i) EXPECT_TRUE(names[i] == "times" || names[i] == "Times");
    EXPECT_EQ(std::count(names.begin(), names.end(), "Times"), 1);
}

TEST_F(SortedNames, NullEntrySortsFirstInsteadOfFaulting) {
    Add("b");
    m_items.push_back(nullptr);
    Add("A");
    SortFontItems(m_items);
    EXPECT_EQ(Names(), (std::vector<std::string>{"<null>", "A", "b"}));
}

TEST(CompareFontItems, DescendingIsTheMirrorOfAscending) {
    CFontItem a, b, a2;
    a.m_strName = "Arial";
    b.m_strName = "bodoni";
    a2.m_strName = "ARIAL";
    const CompareFontItems ascending(true), descending(false);
    EXPECT_TRUE(ascending(&a, &b));
    EXPECT_FALSE(ascending(&b, &a));
    EXPECT_FALSE(descending(&a, &b));
    EXPECT_TRUE(descending(&b, &a));
    // Equal names are equivalent either way: neither precedes the other.
    EXPECT_FALSE(ascending(&a, &a2));
    EXPECT_FALSE(ascending(&a2, &a));
    EXPECT_FALSE(descending(&a, &a2));
    EXPECT_FALSE(descending(&a2, &a));
}

}  // namespace
