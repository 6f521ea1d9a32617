// Where a file or folder chooser opens: a rule apart from GTK, so that tests
// can give it any file system.
#include "platform/dialogs.h"

namespace ludexa {

std::string chooserStartFolder(const std::vector<std::string>& candidates, const std::string& home,
                               const std::function<bool(const std::string&)>& isDirectory) {
    for (std::string path : candidates) {
        // Relative paths and Windows paths ("C:\Games") mean nothing to GTK.
        if (path.empty() || path.front() != '/') continue;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        if (isDirectory(path)) return path;
        const auto slash = path.rfind('/');
        const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
        if (isDirectory(parent)) return parent;
    }
    if (!home.empty() && isDirectory(home)) return home;
    return "/";
}

}  // namespace ludexa
