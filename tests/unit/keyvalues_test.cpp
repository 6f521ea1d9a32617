// The KeyValues reader: the format's corners and broken text (Steam's files: stores_test).
#include <gtest/gtest.h>

#include "library/keyvalues.h"

using namespace ludexa;

TEST(KeyValues, FormatCorners) {
    const auto pairs = parseKeyValues(
        "\xEF\xBB\xBF// a comment\n"
        "Root { bare word \"esc\" \"a\\\"b\\\\c\\nd\\te\\q\" \"cond\" \"1\" [$WIN32] // trailing\n"
        "\"empty\" \"\" \"nested\" { \"deeper\" { } } }");
    ASSERT_TRUE(pairs);
    const KeyValue& root = (*pairs)[0];
    EXPECT_EQ(root.key, "Root");
    EXPECT_EQ(root.get("BARE"), "word");  // keys ignore case
    EXPECT_EQ(root.get("esc"), "a\"b\\c\nd\te\\q");  // unknown escapes stay as written
    EXPECT_EQ(root.get("cond"), "1");
    EXPECT_EQ(root.get("empty"), "");
    ASSERT_NE(root.find("nested"), nullptr);
    EXPECT_EQ(root.get("nested"), "");  // a block has no value
    EXPECT_EQ(root.find("missing"), nullptr);
    EXPECT_TRUE(root.find("nested")->find("deeper")->isBlock);
    EXPECT_EQ(root.children.size(), 5u);
}

TEST(KeyValues, BrokenTextIsRefused) {
    EXPECT_FALSE(parseKeyValues("\"AppState\" { \"name\" \"Portal"));  // cut inside a string
    EXPECT_FALSE(parseKeyValues("\"AppState\" { \"name\" \"Portal\""));  // block never closed
    EXPECT_FALSE(parseKeyValues("\"key\""));                              // key without value
    EXPECT_FALSE(parseKeyValues("\"a\" \"b\" }"));                        // stray brace
    EXPECT_FALSE(parseKeyValues("\"a\" { [$X }"));                        // unclosed condition
    EXPECT_FALSE(parseKeyValues("{ }"));                                  // block without key
    EXPECT_TRUE(parseKeyValues("")->empty());

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
