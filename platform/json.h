// JSON documents as a plain tree (read with json-glib), and the SHA-256 digest
// other programs name their cached files by.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ludexa {

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> items;                             // an array's elements
    std::vector<std::pair<std::string, JsonValue>> members;  // an object's members, in file order

    // The member with this name, or null when this is no object or has none.
    const JsonValue* member(std::string_view name) const;
    // The member's string, or "" when it is missing or no string.
    std::string text(std::string_view name) const;
    // The member's boolean, or `fallback` when it is missing or no boolean.
    bool flag(std::string_view name, bool fallback) const;
};

// Documents nested deeper than this are refused.
inline constexpr int kMaxJsonDepth = 64;

// Whether no array or object of the text is nested deeper than `maxDepth`,
// counting the brackets outside strings. The parser recurses once per level,
// so a file of nothing but brackets must be turned away before it sees it.
bool jsonNestingWithin(std::string_view text, int maxDepth);

// The document, or nullopt when it is not valid JSON or nested deeper than
// kMaxJsonDepth.
std::optional<JsonValue> parseJson(std::string_view text);

// The SHA-256 digest of the bytes in lower-case hexadecimal.
std::string sha256Hex(std::string_view bytes);

}  // namespace ludexa
