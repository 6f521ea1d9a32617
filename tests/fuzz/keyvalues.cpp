// Fuzzes the KeyValues reader: any text is refused or read into pairs that,
// written back, read as the same pairs; lookups on them stay in bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/keyvalues.h"

namespace {

void walk(const ludexa::KeyValue& pair, int depth) {
    if (depth > ludexa::kMaxKeyValueDepth) __builtin_trap();
    if (!pair.isBlock && !pair.children.empty()) __builtin_trap();
    (void)pair.get("path");
    (void)pair.find("AppState");
    for (const auto& child : pair.children) walk(child, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto pairs = ludexa::parseKeyValues(text);
    if (!pairs) return 0;
    for (const auto& pair : *pairs) walk(pair, 1);
    const auto again = ludexa::parseKeyValues(ludexa::formatKeyValues(*pairs));
    if (!again || *again != *pairs) __builtin_trap();
    return 0;
}
