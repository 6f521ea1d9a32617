// Construction and destruction of the launcher, in the order the rest of the
// program relies on: settings, fonts, library, text, then the widgets.
#include "app/GameLauncher.h"

#include <algorithm>
#include <cstdint>

#include "appearance/fonts.h"
#include "appearance/themes.h"
#include "library/play_watch.h"
#include "platform/event_wait.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/window.h"

namespace ludexa {

extern const std::uint8_t kWindowIconPng[];
extern const std::size_t kWindowIconPngSize;

namespace {

// Ten characters, as the title bar and the task switcher show it.
const wchar_t kWindowTitle[] = L"Ludexa 游戏库";
static_assert(sizeof kWindowTitle / sizeof kWindowTitle[0] - 1 == 10);

}  // namespace

GameLauncher::GameLauncher()
    : window(sf::VideoMode(1200, 800, 32), sf::String(kWindowTitle), sf::Style::Default),
      joysticks(makeSfmlJoysticks()),
      library(buildPolyphoneInitials()) {
    loadConfig();
    // Placed at once, before anything could see it elsewhere.
    placeWindowOnFirstStart();
    {
        const auto desktop = sf::VideoMode::getDesktopMode();
        pictureLoader.setMaxWidth(std::max(1200, static_cast<int>(desktop.width)) - 104);
    }
    window.setFramerateLimit(static_cast<unsigned>(settings.framerate_fps));

    bool uiFontLoaded = loadUIFont();
    bool uiCoversChinese = uiFontLoaded && firstLoadableCoversChinese(uiFontChain());
    const bool contentFontLoaded = loadContentFont();
    // Without any font of the chain the UI draws with the user's own font.
    if (!uiFontLoaded && contentFontLoaded && !settings.fontPath.empty()) {
        const FontFace own = faceForFile(wstringToUtf8(settings.fontPath));
        uiFontLoaded = loadFontFace(own, uiFont, uiFontBytes);
        uiCoversChinese = uiFontLoaded && coversSimplifiedChinese(own);
    }
    loadingText = std::make_unique<sf::Text>(sf::String(L"加载中..."), uiFont, 18);
    loadingText->setFillColor(kLoadingText);
    loadingText->setPosition(120, 200);
    const FontProblem fontProblem =
        fontProblemFor(uiFontLoaded && contentFontLoaded, uiCoversChinese);
    if (fontProblem != FontProblem::None) {
        const auto message = fontProblemMessage(fontProblem);
        showMessageBox({message.text, message.caption,
                        fontProblem == FontProblem::NoFont ? MessageIcon::Error : MessageIcon::Warning,
                        MessageButtons::Ok, 0});
        // Nothing could be read on the window: run() returns at once.
        if (fontProblem == FontProblem::NoFont) window.close();
    }

    initGames();
    applyPlayTotals(loadPlayTotals(databasePath()));
    iconCache = std::make_unique<IconCache>(databasePath());
    sortGames();
    library.select(0);
    // The first screen's icons decode while the rest of the start-up runs.
    primeVisibleIcons();
    updateTextContent();

    sf::Image icon;
    if (icon.loadFromMemory(kWindowIconPng, kWindowIconPngSize))
        window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
    arrowCursor.loadFromSystem(sf::Cursor::Arrow);
    textCursor.loadFromSystem(sf::Cursor::Text);
    waitCursor.loadFromSystem(sf::Cursor::Wait);

    textBox.font = &contentFont;
    textBox.charSize = static_cast<unsigned>(settings.fontSize);
    contentFontSize = settings.fontSize;
    updateRichEditPosition();
    textBox.buildLines();
    applyThemeToTextBox();

    searchBox.font = &contentFont;
    placeSearchBox();
    searchBox.placeholder = L"可在此处搜索游戏";

    dialogCloseWatch = std::make_unique<DialogCloseWatch>([this] { drainInputBeforeDialogCloses(); });
}

// The loader thread has been joined at the end of run(); members are destroyed
// in reverse order of declaration, the window last.
GameLauncher::~GameLauncher() {
    pictureLoader.stop();
    playWatcher.reset();
    // Closing puts the window's last cursor back: the cursors are members
    // destroyed before the window, so it closes while they still exist.
    if (window.isOpen()) window.close();
}

unsigned long GameLauncher::nativeHandle() const { return window.getSystemHandle(); }

}  // namespace ludexa
