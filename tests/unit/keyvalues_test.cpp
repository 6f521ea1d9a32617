// The KeyValues reader on a Steam file, the format's corners, and broken text.
#include <gtest/gtest.h>

#include "library/keyvalues.h"
#include "test_data.h"

using namespace ludexa;

TEST(KeyValues, ReadsSteamsLibraryList) {
    const auto bytes = test::testDataBytes("corpus/keyvalues/libraryfolders.vdf");
    const auto pairs = parseKeyValues(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(pairs);
    ASSERT_EQ(pairs->size(), 1u);
    const KeyValue& root = (*pairs)[0];
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[1].get("path"), "/mnt/games/SteamLibrary");
    EXPECT_EQ(root.children[0].find("APPS")->get("228980"), "283843287");  // keys ignore case
    EXPECT_EQ(root.children[0].get("apps"), "");  // a block has no value
    EXPECT_EQ(root.find("2"), nullptr);
}

TEST(KeyValues, FormatCorners) {
    const auto pairs = parseKeyValues(
        "\xEF\xBB\xBF// a comment\n"
        "Root { bare word \"esc\" \"a\\\"b\\\\c\\nd\\te\\q\" \"cond\" \"1\" [$WIN32] // trailing\n"
        "\"empty\" \"\" \"nested\" { \"deeper\" { } } }");
    ASSERT_TRUE(pairs);
    const KeyValue& root = (*pairs)[0];
    EXPECT_EQ(root.key, "Root");
    EXPECT_EQ(root.get("bare"), "word");
    EXPECT_EQ(root.get("esc"), "a\"b\\c\nd\te\\q");  // unknown escapes stay as written
    EXPECT_EQ(root.get("cond"), "1");
    EXPECT_EQ(root.get("empty"), "");
    ASSERT_NE(root.find("nested"), nullptr);
    EXPECT_TRUE(root.find("nested")->find("deeper")->isBlock);
    EXPECT_EQ(root.children.size(), 5u);

    // Written back and read again: the same pairs, whatever the strings hold.
    const auto again = parseKeyValues(formatKeyValues(*pairs));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *pairs);
}

TEST(KeyValues, BrokenTextIsRefused) {
    EXPECT_FALSE(parseKeyValues("\"AppState\" { \"name\" \"Portal"));  // cut inside a string
    EXPECT_FALSE(parseKeyValues("\"AppState\" { \"name\" \"Portal\""));  // block never closed
    EXPECT_FALSE(parseKeyValues("\"key\""));                              // key without value
    EXPECT_FALSE(parseKeyValues("\"a\" \"b\" }"));                        // stray brace
    EXPECT_FALSE(parseKeyValues("\"a\" { [$X }"));                        // unclosed condition
    EXPECT_FALSE(parseKeyValues("{ }"));                                  // block without key
    EXPECT_TRUE(parseKeyValues("")->empty());
    EXPECT_TRUE(parseKeyValues("  // only a comment")->empty());

    // Nesting up to the limit is read; one level more is refused, not a stack overflow.
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "k {";
        return text + std::string(static_cast<std::size_t>(depth), '}');
    };
    EXPECT_TRUE(parseKeyValues(nested(kMaxKeyValueDepth)));
    EXPECT_FALSE(parseKeyValues(nested(kMaxKeyValueDepth + 1)));
    EXPECT_FALSE(parseKeyValues(nested(100000)));
}
