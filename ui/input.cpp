// handleEvents(): every pending window event turned into launcher state.
#include <SFML/Window/Event.hpp>

#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::handleEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        if (event.type == sf::Event::TextEntered || event.type == sf::Event::KeyPressed ||
            event.type == sf::Event::MouseButtonPressed)
            idleClock.restart();
        switch (event.type) {
            case sf::Event::Closed:
                saveConfig();
                window.close();
                return;
            case sf::Event::Resized:
                handleResize(event.size.width, event.size.height);
                break;
            case sf::Event::KeyPressed:
                if (event.key.code == sf::Keyboard::Escape) {
                    saveConfig();
                    window.close();
                    return;
                }
                break;
            default:
                break;
        }
    }
}

void GameLauncher::discardInputAfterModal() {
    sf::Event event;
    while (window.pollEvent(event)) {
        if (event.type == sf::Event::Closed) {
            saveConfig();
            window.close();
            return;
        }
        if (event.type == sf::Event::Resized) handleResize(event.size.width, event.size.height);
    }
}

}  // namespace ludexa
