#include "input/SdlControllerSystem.h"

#include <SDL.h>

#include <iostream>

SdlControllerSystem::SdlControllerSystem() {
    // Ctrl-C and the terminal's signals keep ending the game as they always did.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL has no window to hold the focus; without this it would drop every pad event.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // A Wii Remote belongs to the game's own driver, which reads it over HID itself.
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI_WII, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::cout << "Gamepads are not available: " << SDL_GetError() << "\n";
        return;
    }
    ready = true;
}

SdlControllerSystem::~SdlControllerSystem() {
    if (!ready) {
        return;
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    // The last user of SDL in the process lets it free everything else it holds.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}
