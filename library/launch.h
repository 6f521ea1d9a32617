// Starting a game: how its stored program, arguments and folder become a
// process, the two-second debounce and the play record.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace ludexa {

// Refused: the launch cannot happen, and `error` says why.
enum class LaunchMethod { DesktopEntry, Spawn, Wine, DefaultHandler, Refused };

struct LaunchPlan {
    LaunchMethod method = LaunchMethod::DefaultHandler;
    std::vector<std::string> argv;     // Spawn and Wine
    std::string workingDirectory;      // empty: inherit ours
    std::string target;                // DesktopEntry and DefaultHandler
    std::string error;                 // Refused: a Chinese sentence
};

// What planLaunch may ask of the system; tests give a made-up one.
struct LaunchEnvironment {
    // A name or path made an executable's absolute path; empty when there is none.
    std::function<std::string(const std::string&)> findProgram;
    std::function<FileKind(const std::string&)> classify;
    // A Windows path's Unix path in the Wine prefix; empty when unknown.
    std::function<std::string(const std::string&)> windowsToUnix;
};
LaunchEnvironment systemLaunchEnvironment();

LaunchPlan planLaunch(const std::string& exePath, const std::string& launchArgs, const std::string& folderPath,
                      const LaunchEnvironment& env);

// Carries the plan out; a refused plan starts nothing and returns its reason.
StartResult startLaunch(const LaunchPlan& plan);

// A Windows command line split the way CommandLineToArgvW splits the
// arguments after the program name: whitespace separates, double quotes
// group, 2n backslashes before a quote are n backslashes and the quote
// counts, 2n+1 are n backslashes and a literal quote, other backslashes are
// plain characters, and three quotes in a row give one literal quote.
std::vector<std::string> splitWindowsArguments(const std::string& commandLine);

// The text of the "启动失败" message.
std::string launchFailureText(const std::string& name, const std::string& reason, const std::string& path);

// Any launch blocks every launch for the next two seconds.
bool launchDebounced(bool armed, float secondsSinceLastLaunch);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string formatLocalTime(std::time_t when);

}  // namespace ludexa
