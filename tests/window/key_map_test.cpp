#include "engine/window/key_map.h"
#include "engine/window/key_state.h"

#include <SDL_keyboard.h>

#include <gtest/gtest.h>

namespace glint {
namespace {

TEST(KeyMap, VirtualKeysToEngineCodes) {
    struct Case {
        int virtualKey;
        int keyCode;
    } cases[] = {
        {0, 0},           {vk::Left, 1},      {vk::Down, 3},       {vk::Right, 4},     {vk::Space, 5},
        {vk::LShift, 6},  {vk::RShift, 7},    {vk::Return, 8},     {vk::RControl, 9},  {vk::LControl, 10},
        {vk::F1, 11},     {vk::F1 + 11, 22},  {vk::Back, 23},      {vk::Escape, 25},   {'A', 26},
        {'Z', 51},        {'0', 52},          {'9', 61},           {vk::Numpad0, 62},  {vk::Divide, 76},
        {vk::Clear, 77},  {vk::LMenu, 78},    {vk::Apps, 82},      {vk::Scroll, 84},   {vk::Oem1, 85},
        {vk::Oem3, 91},   {vk::Oem4, 92},     {vk::Oem7, 95},      {vk::End, 96},      {vk::Snapshot, 100},
        {vk::Next, 102},
        // The generic modifiers a key press reports have no code of their own.
        {vk::Shift, kNoKeyCode}, {vk::Control, kNoKeyCode}, {vk::Menu, kNoKeyCode},
        {vk::F13, kNoKeyCode},   {256, kNoKeyCode},          {-1, kNoKeyCode},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyCodeFor(c.virtualKey), c.keyCode) << std::hex << c.virtualKey;
}

TEST(KeyMap, EveryEngineKeyHasItsOwnVirtualKey) {
    for (int code = 0; code < kEngineKeyCount; ++code)
        EXPECT_EQ(keyCodeFor(engineKeyVirtualKeys[code]), code) << code;
}

TEST(KeyMap, SdlKeysToVirtualKeys) {
    struct Case {
        SDL_Keycode key;
        SDL_Scancode scancode;
        int virtualKey;
    } cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 'A'},
        {SDLK_a, SDL_SCANCODE_Q, 'A'},             // AZERTY: the layout decides
        {0x0444, SDL_SCANCODE_A, 'A'},             // Cyrillic letters report their Latin key
        {SDLK_7, SDL_SCANCODE_7, '7'},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, vk::Shift},
        {SDLK_RCTRL, SDL_SCANCODE_RCTRL, vk::Control},
        {SDLK_RALT, SDL_SCANCODE_RALT, vk::Menu},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, vk::Return},
        {SDLK_KP_5, SDL_SCANCODE_KP_5, vk::Numpad0 + 5},
        {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, vk::Add},
        {SDLK_F12, SDL_SCANCODE_F12, vk::F1 + 11},
        {SDLK_F24, SDL_SCANCODE_F24, 0x87},
        {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, vk::Next},
        {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, vk::NumLock},
        {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, vk::Apps},
        {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, vk::Oem1},
        {0xDF, SDL_SCANCODE_MINUS, vk::OemMinus},  // German sharp s: by position
        {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, vk::Oem7},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(virtualKeyForSdlKey(c.key, c.scancode), c.virtualKey) << std::hex << c.key;
}

TEST(KeyMap, PollReadsTheKeyOfEveryEngineCode) {
    for (int code = 1; code < kEngineKeyCount; ++code)
        EXPECT_NE(scancodeForVirtualKey(engineKeyVirtualKeys[code]), SDL_SCANCODE_UNKNOWN) << code;
    EXPECT_EQ(scancodeForVirtualKey('A'), SDL_SCANCODE_A);
    EXPECT_EQ(scancodeForVirtualKey(vk::LShift), SDL_SCANCODE_LSHIFT);
    EXPECT_EQ(scancodeForVirtualKey(vk::RMenu), SDL_SCANCODE_RALT);
    EXPECT_EQ(scancodeForVirtualKey(vk::Back), SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(scancodeForVirtualKey(vk::NumLock), SDL_SCANCODE_NUMLOCKCLEAR);
    EXPECT_EQ(scancodeForVirtualKey(vk::Oem2), SDL_SCANCODE_SLASH);
    EXPECT_EQ(scancodeForVirtualKey(0xFF), SDL_SCANCODE_UNKNOWN);
}

} // namespace
} // namespace glint

namespace glint {
namespace {

TEST(KeyState, LockKeysReadTheirToggle) {
    SDL_Keymod saved = SDL_GetModState();
    SDL_SetModState(KMOD_NUM);
    EXPECT_TRUE(virtualKeyToggled(vk::NumLock));
    EXPECT_FALSE(virtualKeyToggled(vk::Scroll));
    SDL_SetModState(static_cast<SDL_Keymod>(KMOD_SCROLL | KMOD_CAPS));
    EXPECT_FALSE(virtualKeyToggled(vk::NumLock));
    EXPECT_TRUE(virtualKeyToggled(vk::Scroll));
    EXPECT_TRUE(virtualKeyToggled(vk::Capital));
    EXPECT_FALSE(virtualKeyToggled('A'));
    SDL_SetModState(saved);
    EXPECT_FALSE(virtualKeyDown(0xFF)) << "no key behind it";
    EXPECT_FALSE(pointerButtonDown(2));
}

} // namespace
} // namespace glint
