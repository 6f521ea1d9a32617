// The desktop view's rules that need no window: how an entry is named in the
// grid and the text area, and the order of the entries.
#pragma once

#include <string>
#include <vector>

namespace ludexa {

class Collator;

// An entry's file name as shown: a launcher's ".lnk" (case as written, name
// of at least five characters) or ".desktop" (any case) suffix is dropped.
std::wstring desktopItemLabel(const std::wstring& fileName);

// An entry of the desktop folder with the name the grid shows for it: a
// launcher's own name, else desktopItemLabel of the file name.
struct DesktopEntryName {
    std::string fileName;
    std::wstring label;
};

// Entries in the collator's order of their labels, the file name breaking
// ties; a folder's listing order means nothing on Linux.
void sortDesktopEntries(std::vector<DesktopEntryName>& entries, const Collator& collator);

}  // namespace ludexa
