// launchGame: start the program, count the play, maybe fall asleep.
#include "library/launch.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/play_watch.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shell.h"

namespace ludexa {
namespace {

bool endsWithIgnoringCase(const std::string& s, const char* suffix) {
    const std::string tail(suffix);
    if (s.size() < tail.size()) return false;
    return std::equal(tail.rbegin(), tail.rend(), s.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

// Arguments as a shell would split them; with broken quoting, at whitespace.
std::vector<std::string> argumentsOf(const std::string& launchArgs) {
    if (auto split = splitShellArguments(launchArgs)) return *split;
    std::vector<std::string> words;
    std::string word;
    for (char c : launchArgs) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word), word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool isWindowsProgram(const std::string& path) {
    for (const char* ext : {".exe", ".bat", ".cmd", ".com", ".lnk"})
        if (endsWithIgnoringCase(path, ext)) return true;
    return false;
}

// "C:\..." or "C:" alone: a path on a Windows drive.
bool isWindowsDrivePath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

// "steam://rungameid/42", "https://...": a scheme of two or more letters.
bool isUri(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

// The terminal that imported Terminal=true entries run in: Debian's
// alternative, by name or by the path it had when the game was imported.
bool isTerminalAlternative(const std::string& exePath) {
    constexpr std::string_view name = "x-terminal-emulator";
    const auto slash = exePath.rfind('/');
    return std::string_view(exePath).substr(slash == std::string::npos ? 0 : slash + 1) == name;
}

LaunchPlan refused(std::string why) {
    LaunchPlan plan;
    plan.method = LaunchMethod::Refused;
    plan.error = std::move(why);
    return plan;
}

LaunchPlan planWine(const std::string& exePath, const std::string& launchArgs, const std::string& folderPath,
                    const LaunchEnvironment& env) {
    const bool onDrive = isWindowsDrivePath(exePath);
    if (!onDrive && exePath.find('/') != std::string::npos && env.classify(exePath) == FileKind::Missing)
        return refused("找不到程序文件。");
    // When the prefix maps the program's drive, a program missing from it is
    // known to be missing; otherwise wine is left to look for it.
    if (onDrive && !env.windowsToUnix(exePath.substr(0, 2)).empty() && env.windowsToUnix(exePath).empty())
        return refused("找不到程序文件。");
    const auto wine = env.findProgram("wine");
    if (wine.empty()) return refused("这是 Windows 程序，需要 Wine 才能运行，但系统中没有安装 wine。");
    LaunchPlan plan;
    plan.method = LaunchMethod::Wine;
    plan.argv = {wine};
    // wine runs programs and batch files itself; a link needs the shell's start.
    if (endsWithIgnoringCase(exePath, ".lnk")) {
        plan.argv.emplace_back("start");
        if (!onDrive) plan.argv.emplace_back("/unix");
    }
    plan.argv.push_back(exePath);
    // Windows programs read a Windows command line: wine joins these words
    // back into one, so the program gets what Windows would have given it.
    for (auto& a : splitWindowsArguments(launchArgs)) plan.argv.push_back(std::move(a));
    const std::string folder = isWindowsDrivePath(folderPath) ? env.windowsToUnix(folderPath) : folderPath;
    if (!folder.empty() && env.classify(folder) == FileKind::Directory) plan.workingDirectory = folder;
    return plan;
}

}  // namespace

std::vector<std::string> splitWindowsArguments(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool started = false;      // a word is open (it may still be empty: "")
    int quotes = 0;            // odd while inside quotes; see the triple-quote rule
    std::size_t backslashes = 0;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (i < n) {
        const char c = commandLine[i];
        if ((c == ' ' || c == '\t') && quotes == 0) {
            if (started) args.push_back(current), current.clear(), started = false;
            ++i;
            backslashes = 0;
            continue;
        }
        started = true;
        if (c == '\\') {
            current += c;
            ++backslashes;
            ++i;
            continue;
        }
        if (c != '"') {
            current += c;
            backslashes = 0;
            ++i;
            continue;
        }
        // A quote: the backslashes before it are halved.
        current.resize(current.size() - backslashes / 2);
        if (backslashes % 2 == 1) {
            current.back() = '"';  // the odd backslash escapes the quote
        } else {
            ++quotes;
        }
        backslashes = 0;
        ++i;
        // Quotes that follow at once: every third one of the run is literal.
        while (i < n && commandLine[i] == '"') {
            if (++quotes == 3) {
                current += '"';
                quotes = 0;
            }
            ++i;
        }
        if (quotes == 2) quotes = 0;
    }
    if (started) args.push_back(current);
    return args;
}

LaunchEnvironment systemLaunchEnvironment() {
    return {findProgram, classifyFile, [](const std::string& path) { return wineUnixPath(path, winePrefix()); }};
}

LaunchPlan planLaunch(const std::string& exePath, const std::string& launchArgs, const std::string& folderPath,
                      const LaunchEnvironment& env) {
    if (endsWithIgnoringCase(exePath, ".desktop")) {
        LaunchPlan plan;
        plan.method = LaunchMethod::DesktopEntry;
        plan.target = exePath;
        return plan;
    }
    if (isWindowsProgram(exePath) || isWindowsDrivePath(exePath)) return planWine(exePath, launchArgs, folderPath, env);

    LaunchPlan plan;
    if (isUri(exePath)) {
        plan.method = LaunchMethod::DefaultHandler;
        plan.target = exePath;
        return plan;
    }
    if (exePath.find('/') == std::string::npos) {
        const auto program = env.findProgram(exePath);
        if (program.empty())
            return refused(isTerminalAlternative(exePath) ? kNoTerminalReason : "找不到程序：系统的程序路径（PATH）中没有它。");
        plan.argv.push_back(program);
    } else {
        switch (env.classify(exePath)) {
            case FileKind::Missing:
                return refused(isTerminalAlternative(exePath) ? kNoTerminalReason : "找不到程序文件。");
            case FileKind::ProgramNotAllowed: return refused("程序文件没有执行权限。");
            case FileKind::Directory:
            case FileKind::Document:
                plan.method = LaunchMethod::DefaultHandler;
                plan.target = exePath;
                return plan;
            case FileKind::Executable: break;
        }
        plan.argv.push_back(exePath);
    }
    plan.method = LaunchMethod::Spawn;
    for (auto& a : argumentsOf(launchArgs)) plan.argv.push_back(std::move(a));
    // A folder that no longer exists would make the start fail; the game may
    // still run from ours.
    if (!folderPath.empty() && env.classify(folderPath) == FileKind::Directory) plan.workingDirectory = folderPath;
    return plan;
}

StartResult startLaunch(const LaunchPlan& plan) {
    switch (plan.method) {
        case LaunchMethod::DesktopEntry: return launchDesktopEntry(plan.target);
        case LaunchMethod::Spawn:
        case LaunchMethod::Wine: return spawnDetached(plan.argv, plan.workingDirectory);
        case LaunchMethod::DefaultHandler: return openWithDefaultHandler(plan.target);
        case LaunchMethod::Refused: break;
    }
    StartResult result;
    result.error = plan.error;
    return result;
}

std::string launchFailureText(const std::string& name, const std::string& reason, const std::string& path) {
    return "无法启动“" + name + "”。\n" + reason + "\n\n路径：" + path;
}

bool launchDebounced(bool armed, float secondsSinceLastLaunch) { return armed && secondsSinceLastLaunch < 2.0f; }

LaunchOutcome decideAfterLaunch(bool started, bool sleepEnabled, bool sleepOnLaunch) {
    LaunchOutcome outcome;
    outcome.countPlay = started;
    outcome.sleep = started && sleepEnabled && sleepOnLaunch;
    outcome.reportFailure = !started;
    return outcome;
}

std::string formatLocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

void GameLauncher::launchGame(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= library.games().size()) return;
    if (launchDebounced(launchDebounceArmed, static_cast<float>(launchClock.getElapsedTime().asMicroseconds()) / 1e6f))
        return;
    GameInfo& game = library.editGames()[static_cast<std::size_t>(index)];
    if (game.exe_path.empty()) return;
    launchClock.restart();
    launchDebounceArmed = true;

    // A launch that did not happen is said so, and nothing is counted.
    const auto plan = planLaunch(game.exe_path, game.launch_args, game.folder_path, systemLaunchEnvironment());
    const StartResult started = startLaunch(plan);
    const auto outcome = decideAfterLaunch(started.started, settings.sleepEnabled, settings.sleepOnLaunch);
    if (outcome.reportFailure) {
        showMessageBox({launchFailureText(game.name, started.error, game.exe_path), "启动失败", MessageIcon::Error,
                        MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
    }
    if (!outcome.countPlay) return;
    // The folder the game runs in, as the launch resolved it (a Windows
    // folder becomes its path in the Wine prefix).
    if (playWatcher)
        playWatcher->launched(game.id, started.pid,
                              plan.workingDirectory.empty() ? game.folder_path : plan.workingDirectory);

    // A data.db that refused the play did not count it: it is not shown as
    // counted (the user is told, once for this play and its session).
    const std::int64_t id = game.id;
    const int playCount = game.play_count + 1;
    const std::string lastPlayed = formatLocalTime(std::time(nullptr));
    if (writeLibrary([&] { return storePlay(databasePath(), id, playCount, lastPlayed); }, kPlayNotSavedText)
            .done()) {
        game.play_count = playCount;
        game.last_played = lastPlayed;
    } else if (playWatcher) {
        playWatcher->writeFailureSaid();
    }

    if (outcome.sleep) {
        takeJoystickSnapshot(*joysticks, gamepad.connected, joystickButtonSnapshot);
        isSleeping = true;
    }
}

}  // namespace ludexa
