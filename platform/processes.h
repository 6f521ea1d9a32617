// The running processes, read for the play-time watch: who started whom, which
// program each one runs and in which folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ludexa {

struct ProcessInfo {
    int pid = 0;
    int parentPid = 0;
    // Absolute paths; empty when they cannot be read (another user's process,
    // a kernel thread).
    std::string executable;
    std::string workingFolder;
    // When the process started, on the boot clock. With the pid it tells a
    // process from a later one that was given the same pid.
    std::int64_t startedMs = 0;
    // The command line's words (the first the name it was started by); the
    // first few kilobytes only.
    std::vector<std::string> arguments;
};

// Every live process of the system (zombies left out: they run nothing).
std::vector<ProcessInfo> readProcessTable();

// Milliseconds since boot, suspended time included: the clock of startedMs.
// Setting the date does not move it.
std::int64_t bootClockMs();

int currentProcessId();

// The path with its symbolic links resolved, as /proc shows the programs and
// folders inside it; the path unchanged when it cannot be resolved.
std::string resolvedPath(const std::string& path);

// The user's home folder without a trailing "/"; empty when unknown.
std::string userHomeFolder();

}  // namespace ludexa
