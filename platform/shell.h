// Starting programs and opening files and folders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ludexa {

// What became of an attempt to start something. `error` is a Chinese
// sentence for the user when nothing started; `pid` is the started
// program's process id when it is known, 0 otherwise.
struct StartResult {
    bool started = false;
    int pid = 0;
    std::string error;
};

// Why a game that runs in a terminal (a Terminal=true launcher, stored as
// "x-terminal-emulator -e ...") cannot start: no terminal program is
// installed. It names packages that bring one, since "not found" alone tells
// the user nothing they can act on.
inline constexpr const char* kNoTerminalReason =
    "这个游戏要在终端里运行，但系统中没有安装终端程序（x-terminal-emulator）。\n"
    "请安装一个终端，例如 xterm 软件包，或 gnome-terminal、xfce4-terminal 等任一终端。";

// Shell-style splitting of an argument string (quotes and backslashes as a
// POSIX shell reads them, no expansion). nullopt when the quoting is broken.
std::optional<std::vector<std::string>> splitShellArguments(const std::string& args);

// The absolute path of a program name found on PATH, or of an existing path;
// empty when not found.
std::string findProgram(const std::string& nameOrPath);

bool isExecutableFile(const std::string& path);

// What a path names, as far as starting it is concerned.
enum class FileKind {
    Missing,            // nothing there (or a dangling link)
    Directory,
    Executable,         // a regular file we may execute
    ProgramNotAllowed,  // a program (ELF or "#!" script) without execute permission
    Document,           // any other file: its default handler opens it
};
FileKind classifyFile(const std::string& path);

// Starts argv[0] with its arguments, detached, without a shell; standard
// streams go to /dev/null; an empty directory keeps ours.
StartResult spawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory);

// Launches a .desktop entry (honours its Exec, Path and Terminal keys).
StartResult launchDesktopEntry(const std::string& path);

// Opens a file, folder or URL with its default handler.
StartResult openWithDefaultHandler(const std::string& pathOrUri);

// The Wine prefix programs run in: WINEPREFIX, else ~/.wine (what wine uses).
std::string winePrefix();

// The Unix path of a Windows path ("C:\Games\Foo") inside a Wine prefix,
// through the prefix's dosdevices drive links. Windows names ignore case, so
// each component is matched without case when the exact one is absent. Empty
// when the drive is not mapped or the path does not exist.
std::string wineUnixPath(const std::string& windowsPath, const std::string& prefix);

}  // namespace ludexa
