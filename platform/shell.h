// Starting programs and opening files and folders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ludexa {

// Shell-style splitting of an argument string (quotes and backslashes as a
// POSIX shell reads them, no expansion). nullopt when the quoting is broken.
std::optional<std::vector<std::string>> splitShellArguments(const std::string& args);

// The absolute path of a program name found on PATH, or of an existing path;
// empty when not found.
std::string findProgram(const std::string& nameOrPath);

bool isExecutableFile(const std::string& path);

// Starts argv[0] with its arguments, detached, without a shell; standard
// streams go to /dev/null; an empty directory keeps ours. `pid`, when given,
// receives the started process's id.
bool spawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory, int* pid = nullptr);

// Launches a .desktop entry (honours its Exec, Path and Terminal keys). `pid`,
// when given, receives the started process's id, or 0 when GIO reports none
// (an entry started over D-Bus).
bool launchDesktopEntry(const std::string& path, int* pid = nullptr);

// Opens a file, folder or URL with its default handler.
bool openWithDefaultHandler(const std::string& pathOrUri);

}  // namespace ludexa
