// The rule of where Ludexa keeps its files, apart from the system calls so
// that tests can give it any layout.
#include <string>
#include <string_view>

#include "platform/paths.h"

namespace ludexa {

std::string chooseDataDirectory(const std::string& exeDirectory, const std::function<bool(const std::string&)>& exists,
                                const std::string& xdgDataHome, const std::string& home) {
    // An installed copy: <prefix>/bin/ludexa with the package's desktop entry
    // in <prefix>/share/applications/. Anything else is a portable copy, even
    // in a bin/ folder of the user's own.
    constexpr std::string_view bin = "/bin/";
    const bool inBin = exeDirectory.size() > bin.size() &&
                       exeDirectory.compare(exeDirectory.size() - bin.size(), bin.size(), bin) == 0;
    if (!inBin) return exeDirectory;
    const std::string prefix = exeDirectory.substr(0, exeDirectory.size() - bin.size() + 1);
    if (!exists(prefix + "share/applications/" + kDesktopEntryName)) return exeDirectory;

    // XDG: a relative $XDG_DATA_HOME is invalid and ignored.
    std::string base;
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/') {
        base = xdgDataHome;
    } else if (!home.empty()) {
        base = home + "/.local/share";
    } else {
        return exeDirectory;  // nowhere else to go; better than the root folder
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/ludexa/";
}

}  // namespace ludexa
