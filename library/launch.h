// Starting a game: how its stored program, arguments and folder become a
// process, the two-second debounce and the play record.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace ludexa {

enum class LaunchMethod { DesktopEntry, Spawn, Wine, DefaultHandler };

struct LaunchPlan {
    LaunchMethod method = LaunchMethod::DefaultHandler;
    std::vector<std::string> argv;     // Spawn and Wine
    std::string workingDirectory;      // empty: inherit ours
    std::string target;                // DesktopEntry and DefaultHandler
};

// `findProgram` resolves a name or path to an executable's absolute path (empty
// when there is none); `isDirectory` tells whether the working folder exists.
LaunchPlan planLaunch(const std::string& exePath, const std::string& launchArgs, const std::string& folderPath,
                      const std::function<std::string(const std::string&)>& findProgram,
                      const std::function<bool(const std::string&)>& isDirectory);

// Any launch blocks every launch for the next two seconds.
bool launchDebounced(bool armed, float secondsSinceLastLaunch);

// What a launch leads to once the start has been tried. Only a game that
// started counts as played; only then may the launcher fall asleep, which
// needs both sleep settings. A start that failed is reported instead.
struct LaunchOutcome {
    bool countPlay = false;      // play_count + 1 and last_played, in memory and in data.db
    bool sleep = false;          // fall asleep at once
    bool reportFailure = false;  // tell the user the game did not start
};
LaunchOutcome decideAfterLaunch(bool started, bool sleepEnabled, bool sleepOnLaunch);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string formatLocalTime(std::time_t when);

}  // namespace ludexa
