// The six built-in colour themes and the see-through scheme used over a custom
// background picture.
#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <string>
#include <vector>

namespace ludexa {

struct Theme {
    std::string name;
    sf::Color panelColor;
    sf::Color textColor;
    sf::Color hintColor;
    sf::Color borderColor;
    sf::Color accentColor;
    sf::Color scrollThumbColor;
};

extern const std::vector<Theme> THEMES;

// Panels over a custom background are filled with this nearly clear colour so
// the picture shows through.
inline const sf::Color kCustomBackgroundPanel(240, 240, 245, 3);

// What is drawn over a custom background in place of the theme's text and hint colours.
inline const sf::Color kCustomBackgroundText(240, 240, 245);

// The colours of the controls that keep their own look in every theme.
struct ButtonColors {
    sf::Color fill, outline;
};

inline const sf::Color kWindowClear(30, 30, 30);
inline const sf::Color kSleepScreen(20, 20, 30);
inline const sf::Color kSleepCaption(200, 200, 160);
inline const sf::Color kLoadingText(150, 150, 150);

// The toolbar buttons, left to right; the sleep switch's entry is its "on" look.
inline const ButtonColors kToolbarButtonColors[] = {
    {{245, 85, 85}, {255, 148, 148}},  {{245, 148, 52}, {255, 190, 115}}, {{195, 178, 38}, {225, 210, 85}},
    {{50, 185, 90}, {120, 230, 150}},  {{38, 175, 185}, {95, 215, 225}},  {{85, 138, 235}, {135, 178, 255}},
    {{175, 82, 235}, {210, 130, 255}},
};
inline const sf::Color kToolbarLabel(20, 40, 100);
inline const ButtonColors kSleepOffColors{{35, 70, 45}, {55, 100, 65}};
inline const sf::Color kSleepOffLabel(120, 160, 125);

// The title-area buttons: the display mode in its three colours (无框, 全屏,
// 窗口), minimise, close; their labels are white.
inline const ButtonColors kDisplayModeColors[] = {
    {{70, 100, 150}, {100, 140, 190}}, {{160, 130, 0}, {230, 200, 60}}, {{150, 70, 210}, {200, 130, 255}}};
inline const ButtonColors kMinimizeColors{{70, 100, 150}, {100, 140, 190}};
inline const ButtonColors kCloseColors{{180, 40, 40}, {220, 90, 90}};

// The picture area's arrows and counter, dark plates whatever the theme.
inline const sf::Color kArrowDisc(0, 0, 0, 120);
inline const sf::Color kArrowMark(255, 255, 255, 220);
inline const sf::Color kCounterPlate(0, 0, 0, 150);
inline const sf::Color kCounterText(240, 240, 240);

// Icon cells: the square, the selected game's frame, the desktop focus.
inline const ButtonColors kIconSquare{{50, 50, 50}, {80, 80, 80}};
inline const ButtonColors kIconSquareSelected{{40, 60, 90}, {100, 170, 255}};
inline const ButtonColors kSelectionFrame{{60, 100, 160, 120}, {100, 170, 255}};
inline const sf::Color kDesktopFocus(80, 140, 220);
inline const sf::Color kFallbackLetter(150, 150, 180);

// Drawn menus: the main items hover in one colour, submenu and item-menu rows in another.
inline const ButtonColors kMenuItem{{50, 50, 55}, {80, 80, 80}};
inline const sf::Color kMenuHover(80, 80, 100);
inline const sf::Color kSubmenuHover(70, 130, 180);
inline const sf::Color kMenuChosen(100, 200, 100);
inline const ButtonColors kPasteMenuItem{{50, 50, 55}, {100, 100, 110}};
inline const sf::Color kPasteMenuLabel(230, 230, 230);

// The category tag bar.
inline const ButtonColors kTagIdle{{50, 55, 70}, {90, 100, 120}};
inline const sf::Color kTagIdleLabel(200, 205, 215);
inline const sf::Color kTagActive(80, 140, 220);
inline const ButtonColors kMultiSelectOn{{100, 160, 80}, {130, 190, 100}};
inline const sf::Color kTagFocusRing(220, 130, 130);
inline const sf::Color kTagSeparator(100, 110, 130);
inline const sf::Color kExpandButtonFill(55, 60, 75);

// The gamepad's soft keyboard.
inline const sf::Color kSoftKeyboardPanel(40, 40, 40, 220);
inline const sf::Color kSoftKey(80, 80, 80, 200);
inline const sf::Color kSoftKeyHighlighted(255, 150, 150, 180);

// The text box's scrollbar thumb while it is dragged.
inline const sf::Color kTextThumbDragged(140, 160, 200);

// The colours the search box takes from a theme.
struct SearchBoxColors {
    sf::Color bgColor, borderColor, focusBorderColor, textColor, placeholderColor;
};

SearchBoxColors searchBoxColorsFor(const Theme& theme, bool customBackground);

// The colours the description text box takes from a theme.
struct TextBoxColors {
    sf::Color backgroundColor;
    sf::Color textColor;
    sf::Color headerColor;
    sf::Color scrollTrackColor;
    sf::Color scrollThumbColor;
};

TextBoxColors textBoxColorsFor(const Theme& theme, bool customBackground);

// The theme for an index, falling back to theme 0 for anything out of range.
const Theme& themeAt(int index);


}  // namespace ludexa
