// launchGame: start the program, count the play, maybe fall asleep.
#include "library/launch.h"

#include <algorithm>
#include <cctype>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/play_watch.h"
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

}  // namespace

LaunchPlan planLaunch(const std::string& exePath, const std::string& launchArgs, const std::string& folderPath,
                      const std::function<std::string(const std::string&)>& findProgram,
                      const std::function<bool(const std::string&)>& isDirectory) {
    LaunchPlan plan;
    // A folder that no longer exists would make the start fail; the game may
    // still run from ours.
    plan.workingDirectory = !folderPath.empty() && isDirectory(folderPath) ? folderPath : std::string();
    if (endsWithIgnoringCase(exePath, ".desktop")) {
        plan.method = LaunchMethod::DesktopEntry;
        plan.target = exePath;
        return plan;
    }
    if (const auto program = findProgram(exePath); !program.empty()) {
        plan.method = LaunchMethod::Spawn;
        plan.argv.push_back(program);
        for (auto& a : argumentsOf(launchArgs)) plan.argv.push_back(std::move(a));
        return plan;
    }
    const bool windowsProgram = endsWithIgnoringCase(exePath, ".exe") || endsWithIgnoringCase(exePath, ".bat") ||
                                endsWithIgnoringCase(exePath, ".cmd") || endsWithIgnoringCase(exePath, ".lnk");
    if (windowsProgram) {
        if (const auto wine = findProgram("wine"); !wine.empty()) {
            plan.method = LaunchMethod::Wine;
            plan.argv = {wine, exePath};
            for (auto& a : argumentsOf(launchArgs)) plan.argv.push_back(std::move(a));
            return plan;
        }
    }
    plan.method = LaunchMethod::DefaultHandler;
    plan.target = exePath;
    return plan;
}

bool launchDebounced(bool armed, float secondsSinceLastLaunch) { return armed && secondsSinceLastLaunch < 2.0f; }

std::string formatLocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

void GameLauncher::launchGame(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= games.size()) return;
    if (launchDebounced(launchDebounceArmed, static_cast<float>(launchClock.getElapsedTime().asMicroseconds()) / 1e6f))
        return;
    GameInfo& game = games[static_cast<std::size_t>(index)];
    if (game.exe_path.empty()) return;
    launchClock.restart();
    launchDebounceArmed = true;

    // A failed start is not reported, and the play is counted all the same.
    const auto plan = planLaunch(game.exe_path, game.launch_args, game.folder_path, findProgram, isDirectory);
    int pid = 0;
    switch (plan.method) {
        case LaunchMethod::DesktopEntry: (void)launchDesktopEntry(plan.target, &pid); break;
        case LaunchMethod::Spawn:
        case LaunchMethod::Wine: (void)spawnDetached(plan.argv, plan.workingDirectory, &pid); break;
        case LaunchMethod::DefaultHandler: (void)openWithDefaultHandler(plan.target); break;
    }
    // The folder the game runs in, as the launch resolved it.
    if (playWatcher) playWatcher->launched(game.id, pid, plan.workingDirectory.empty() ? game.folder_path : plan.workingDirectory);

    ++game.play_count;
    game.last_played = formatLocalTime(std::time(nullptr));
    if (auto db = Database::open(databasePath(), false)) {
        if (auto update = db->prepare("UPDATE games SET play_count = ?, last_played = ? WHERE id = ?")) {
            update->bind(1, game.play_count).bind(2, std::string_view(game.last_played)).bind(3, game.id);
            (void)update->step();
        }
    }

    if (sleepEnabled && sleepOnLaunch) {
        takeJoystickSnapshot(*joysticks, connectedJoysticks, joystickButtonSnapshot);
        isSleeping = true;
    }
}

}  // namespace ludexa
