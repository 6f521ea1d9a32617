// Valve's text KeyValues format, as Steam writes libraryfolders.vdf and its
// appmanifest_*.acf files: quoted or bare keys, each followed by a value or by
// a block in braces, "//" comments, and "[$PLATFORM]" conditions after a
// value. Debian has no library for it; this reader is small and fuzzed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ludexa {

struct KeyValue {
    std::string key;
    std::string value;  // empty for a block
    bool isBlock = false;
    std::vector<KeyValue> children;

    // The first child with this key; Steam's keys are compared ignoring
    // ASCII case ("LibraryFolders" and "libraryfolders" both occur).
    const KeyValue* find(std::string_view childKey) const;
    // The value of the first child with this key that is not a block; "" when
    // there is none.
    std::string_view get(std::string_view childKey) const;

    bool operator==(const KeyValue&) const = default;
};

// Blocks nested deeper than this make the text malformed: real files nest a
// few levels, and a hostile file must not exhaust the stack.
inline constexpr int kMaxKeyValueDepth = 64;

// The top-level pairs of the text, or nullopt when it is malformed (an
// unterminated string or block, a key without a value, a stray "}").
std::optional<std::vector<KeyValue>> parseKeyValues(std::string_view text);

// The pairs written back as text that parseKeyValues reads as the same pairs.
std::string formatKeyValues(const std::vector<KeyValue>& pairs);

}  // namespace ludexa
