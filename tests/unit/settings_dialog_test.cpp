// The program settings dialog's rules, driven through its model without a window.
#include <gtest/gtest.h>

#include "dialogs/settings_dialog.h"

using namespace ludexa;
using namespace ludexa::settings_switch;

namespace {

// Answers every message box and remembers it.
class MessageLog {
public:
    MessageLog() {
        setMessageBoxHook([this](const MessageBoxRequest& r) {
            shown.push_back(r);
            return true;
        });
    }
    ~MessageLog() { setMessageBoxHook(nullptr); }
    std::vector<MessageBoxRequest> shown;
};

// Two installed families and a handful of font files, none of them real.
FontCatalog fakeCatalog(std::vector<std::string> files = {}) {
    FontCatalog c;
    c.familyFile = [](const std::string& family) -> std::optional<std::string> {
        if (family == "Noto Sans CJK SC") return "/fonts/NotoSansCJK-Regular.ttc";
        if (family == "DejaVu Sans") return "/fonts/DejaVuSans.ttf";
        return std::nullopt;
    };
    c.fontFiles = [files] { return files; };
    c.isFile = [](const std::string& path) { return path.rfind("/fonts/", 0) == 0; };
    return c;
}

}  // namespace

TEST(SettingsDialog, FrameRateFieldIsCheckedOnOk) {
    // The last does not fit an int.
    for (const char* text : {"10", "501", "", "60fps", "-60", "99999999999999"}) EXPECT_FALSE(parseFrameRate(text)) << text;
    EXPECT_EQ(parseFrameRate("15"), 15);
    EXPECT_EQ(parseFrameRate("060"), 60);

    MessageLog log;
    SettingsDialogState state(Settings{}, fakeCatalog());
    EXPECT_FALSE(state.accept("501", 7));
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, "请输入 15-500 之间的数字作为刷新率。");
    EXPECT_EQ(log.shown[0].caption, "输入无效");
    EXPECT_EQ(log.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(log.shown[0].owner, 7u);
    EXPECT_EQ(state.result, 0);
    EXPECT_EQ(state.context.framerate_fps, 30);  // nothing taken over
    EXPECT_TRUE(state.accept("500", 7));
    EXPECT_EQ(state.context.framerate_fps, 500);
    EXPECT_EQ(state.result, 1);
}

TEST(SettingsDialog, OneSleepOptionAlwaysStaysOn) {
    Settings ctx;
    ctx.sleepAutoMinute = false;
    ctx.sleepOnLaunch = true;
    SettingsDialogState state(ctx, fakeCatalog());
    state.clickSwitch(kSleepOnLaunch);  // the only one on
    EXPECT_TRUE(state.switchOn(kSleepOnLaunch));
    state.clickSwitch(kAutoSleep);
    state.clickSwitch(kSleepOnLaunch);  // now the other is on
    EXPECT_TRUE(state.switchOn(kAutoSleep));
    EXPECT_FALSE(state.switchOn(kSleepOnLaunch));
    state.clickSwitch(kAutoSleep);
    EXPECT_TRUE(state.switchOn(kAutoSleep));

    // Both off in set.ini: either one turns on.
    ctx.sleepOnLaunch = false;
    SettingsDialogState bothOff(ctx, fakeCatalog());
    bothOff.clickSwitch(kSleepOnLaunch);
    EXPECT_TRUE(bothOff.switchOn(kSleepOnLaunch));

    ASSERT_TRUE(state.accept("30", 0));
    EXPECT_TRUE(state.context.sleepAutoMinute);
    EXPECT_FALSE(state.context.sleepOnLaunch);
}

TEST(SettingsDialog, OneOfGamepadAndFrameRatePresets) {
    Settings ctx;
    ctx.framerate_fps = 75;  // no preset
    SettingsDialogState state(ctx, fakeCatalog());
    EXPECT_TRUE(state.switchOn(kCustomFrameRate));
    EXPECT_FALSE(state.switchEnabled(kCustomFrameRate));
    EXPECT_TRUE(state.switchOn(kGamepad));

    state.clickSwitch(kGamepad + 2);
    EXPECT_EQ(state.context.gamepadMode, 3);
    EXPECT_FALSE(state.switchOn(kGamepad));
    EXPECT_TRUE(state.switchOn(kGamepad + 2));

    state.clickSwitch(kFrameRates + 3);
    EXPECT_EQ(state.frameRateText(), "120");
    EXPECT_FALSE(state.switchOn(kCustomFrameRate));
    // A typed value equal to a preset does not light it.
    ASSERT_TRUE(state.accept("60", 0));
    EXPECT_EQ(state.context.framerate_fps, 60);
    EXPECT_TRUE(state.switchOn(kFrameRates + 3));
    EXPECT_FALSE(state.switchOn(kFrameRates + 2));

    state.clickSwitch(kFormats + 5);
    ASSERT_TRUE(state.accept("60", 0));
    EXPECT_FALSE(state.context.fmtGif);
    EXPECT_TRUE(state.context.fmtJpg);
}

TEST(SettingsDialog, OkWithoutChangesNeedsNoFontReloadOrNewLimit) {
    Settings ctx;
    ctx.fontPath = L"/fonts/DejaVuSans.ttf";
    ctx.fontSize = 18;
    ctx.framerate_fps = 60;
    SettingsDialogState state(ctx, fakeCatalog());
    EXPECT_EQ(state.fontNames(), (std::vector<std::string>{"使用系统默认字体", "思源黑体", "DejaVu Sans"}));
    EXPECT_EQ(state.selectedFont(), 2);
    ASSERT_TRUE(state.accept(state.frameRateText(), 0));
    EXPECT_EQ(state.result, 1);
    EXPECT_EQ(state.context, ctx);
    const auto effects = settingsEffects(ctx, state.context);
    EXPECT_FALSE(effects.reloadFonts);
    EXPECT_FALSE(effects.updateFrameRate);

    state.setFontSize(30);  // the slider stops at 24
    EXPECT_EQ(state.context.fontSize, 24);
    EXPECT_TRUE(settingsEffects(ctx, state.context).reloadFonts);
    state.selectFont(0);  // the system default stores an empty path
    ASSERT_TRUE(state.accept("30", 0));
    EXPECT_TRUE(state.context.fontPath.empty());
}

TEST(SettingsDialog, FontList) {
    MessageLog log;
    // A font picked earlier from the search keeps its own entry, so OK without
    // a change does not drop it.
    Settings ctx;
    ctx.fontPath = L"/fonts/wqy-microhei.ttc";
    SettingsDialogState earlier(ctx, fakeCatalog());
    EXPECT_EQ(earlier.fontNames().back(), "文泉驿微米黑");
    ASSERT_TRUE(earlier.accept("30", 0));
    EXPECT_EQ(earlier.context.fontPath, L"/fonts/wqy-microhei.ttc");

    // The search lists known files once, collections first, and reports the count.
    SettingsDialogState search(Settings{}, fakeCatalog({"/fonts/DejaVuSans.ttf", "/fonts/unknown.ttf",
                                                               "/other/DejaVuSans.ttf", "/fonts/uming.ttc",
                                                               "/fonts/DejaVuSans.otf", "/fonts/uming.ttc"}));
    search.searchSystemFonts(3);
    EXPECT_EQ(search.fontNames(), (std::vector<std::string>{"使用系统默认字体", "文鼎明体", "DejaVu Sans"}));
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown[0].text, "已添加 2 个常用字体");
    search.selectFont(1);
    ASSERT_TRUE(search.accept("30", 0));
    EXPECT_EQ(search.context.fontPath, L"/fonts/uming.ttc");

    SettingsDialogState none(Settings{}, fakeCatalog({"/fonts/unknown.ttf"}));
    none.searchSystemFonts(0);
    EXPECT_EQ(none.fontNames().size(), 1u);
    EXPECT_EQ(log.shown.back().text, "已添加 0 个常用字体");
}
