// Fuzzes reading a .lnk file: whatever liblnk makes of the bytes, a link is
// either refused or comes back with a target and UTF-8 text only.
#include <glib.h>

#include <cstddef>
#include <cstdint>

#include "platform/shortcuts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto link = ludexa::parseLnk({data, size}, "fuzz.lnk");
    if (!link) return 0;
    if (link->exe_path.empty() || link->name != "fuzz") __builtin_trap();
    for (const auto* s : {&link->exe_path, &link->launch_args, &link->folder_path})
        if (!g_utf8_validate(s->data(), static_cast<gssize>(s->size()), nullptr)) __builtin_trap();
    // The folder is the start of the target.
    if (link->exe_path.compare(0, link->folder_path.size(), link->folder_path) != 0) __builtin_trap();
    if (link->icons.empty() || link->icons.back().value != link->exe_path) __builtin_trap();
    return 0;
}
