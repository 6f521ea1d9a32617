// Fuzzes .desktop parsing: an entry is refused or has a name, a program, UTF-8
// text and arguments that split again; Exec words survive joining and splitting.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/shortcuts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto entry = ludexa::parseDesktopEntry(text, "fuzz.desktop")) {
        if (entry->name.empty() || entry->exe_path.empty()) __builtin_trap();
        for (const auto* s : {&entry->name, &entry->exe_path, &entry->launch_args, &entry->folder_path})
            if (!g_utf8_validate(s->data(), static_cast<gssize>(s->size()), nullptr)) __builtin_trap();
        if (!ludexa::splitArguments(entry->launch_args)) __builtin_trap();
    }

    // The Exec rules on their own, on the raw bytes.
    if (const auto words = ludexa::splitExec(text)) {
        const auto back = ludexa::splitArguments(ludexa::joinArguments(*words));
        if (!back || *back != *words) __builtin_trap();
    }
    return 0;
}
