// One launcher per data folder. Two launchers on one folder would both write
// set.ini when they close (the last one wins) and fight over data.db, so the
// first start holds a lock in the folder for as long as it runs and marks its
// window with the folder; a second start brings that window to the front and
// leaves without touching any file.
#pragma once

#include <string>

#include "platform/dialogs.h"

namespace ludexa {

// An advisory lock (flock) on "<data folder>/.lock", never on data.db itself.
// The kernel drops it when the process ends, a crash or a kill included, so a
// lock file left behind never blocks a start. Launched games do not inherit it.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& dataDirectory);  // tries once
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Another process holds the folder's lock. False also when no lock can
    // be made at all (a read-only folder, a file system without locks): a
    // launcher that cannot tell starts rather than refusing to.
    bool otherInstanceRuns() const { return other_; }
    // Tries again; true once the lock is ours (the other launcher ended).
    bool retry();

private:
    void take();

    std::string path_;
    int fd_ = -1;
    bool other_ = false;
};

// Marks `window` as the launcher window of `dataDirectory`.
void markInstanceWindow(NativeWindow window, const std::string& dataDirectory);
// Brings the window marked for `dataDirectory` to the front (shown again if
// it was minimised, with the focus); false when no such window is shown.
bool activateInstanceWindow(const std::string& dataDirectory);

}  // namespace ludexa
