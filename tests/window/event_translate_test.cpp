#include "engine/window/event_translate.h"

#include "engine/window/key_map.h"

#include <gtest/gtest.h>

#include <cstring>

namespace glint {
namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mods = 0, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mods;
    event.key.repeat = repeat;
    return event;
}

SDL_Event buttonEvent(Uint32 type, Uint8 button, Uint8 clicks, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event wheelEvent(float y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.preciseY = y;
    event.wheel.y = static_cast<Sint32>(y);
    event.wheel.direction = direction;
    event.wheel.mouseX = 30;
    event.wheel.mouseY = 40;
    return event;
}

SDL_Event textEvent(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    return event;
}

std::vector<KInputEvent> translate(const SDL_Event& event, const PointerMapping& mapping = {}) {
    return translateEvent(event, mapping, 7, 9);
}

std::vector<int> types(const std::vector<KInputEvent>& events) {
    std::vector<int> result;
    for (const KInputEvent& event : events)
        result.push_back(event.type);
    return result;
}

TEST(TranslateKeys, KeyDownSendsMinusTheCodeThenTheKey) {
    auto events = translate(keyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A));
    ASSERT_EQ(types(events), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN}));
    EXPECT_EQ(events[0].keyCode, 26);
    EXPECT_EQ(events[0].character, -26);
    EXPECT_EQ(events[0].x, 0); // no position
    EXPECT_EQ(events[0].message, static_cast<uint32_t>(SDL_KEYDOWN));
    EXPECT_EQ(events[1].virtualKey, 0x41);
    EXPECT_EQ(events[1].keyCode, 26);
    EXPECT_EQ(events[1].scanCode, SDL_SCANCODE_A);
    EXPECT_EQ(events[1].x, 7);
    EXPECT_EQ(events[1].y, 9);
    EXPECT_EQ(events[1].lParam, 1 | SDL_SCANCODE_A << 16);
}

TEST(TranslateKeys, ModifiersAndUnknownKeys) {
    auto shift = translate(keyEvent(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT));
    ASSERT_EQ(types(shift), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN}));
    EXPECT_EQ(shift[0].character, -kNoKeyCode);
    EXPECT_EQ(shift[1].virtualKey, vk::Shift);
    EXPECT_EQ(shift[1].keyCode, kNoKeyCode);

    // A key the engine does not know is still reported, as "no key".
    auto unknown = translate(keyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY));
    ASSERT_EQ(types(unknown), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN}));
    EXPECT_EQ(unknown[0].character, -kNoKeyCode);
    EXPECT_EQ(unknown[1].virtualKey, 0);
    EXPECT_EQ(unknown[1].keyCode, kNoKeyCode);
}

TEST(TranslateKeys, RepeatsAndReleases) {
    auto repeat = translate(keyEvent(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, 0, 1));
    ASSERT_EQ(repeat.size(), 2u);
    EXPECT_EQ(repeat[0].character, -1);
    EXPECT_NE(repeat[1].lParam & (1 << 30), 0);

    auto up = translate(keyEvent(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A));
    ASSERT_EQ(types(up), (std::vector<int>{K_EVENT_KEYUP}));
    EXPECT_EQ(up[0].keyCode, 26);
    EXPECT_EQ(up[0].virtualKey, 0x41);
    EXPECT_EQ(up[0].scanCode, 0x41); // the virtual key's low byte
    EXPECT_LT(up[0].lParam, 0);      // the release bit
}

TEST(TranslateKeys, EditingKeysTypeTheirControlCharacters) {
    struct Case {
        SDL_Keycode key;
        SDL_Scancode scancode;
        int character;
    } cases[] = {{SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
                 {SDLK_TAB, SDL_SCANCODE_TAB, 9},
                 {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
                 {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
                 {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27}};
    for (const Case& c : cases) {
        auto events = translate(keyEvent(SDL_KEYDOWN, c.key, c.scancode));
        ASSERT_EQ(types(events), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN, K_EVENT_CHAR, K_EVENT_KEYCHAR}))
            << c.character;
        EXPECT_EQ(events[2].scanCode, c.character);
        EXPECT_EQ(events[3].character, c.character);
    }
    // With Control held the key types nothing.
    auto control = translate(keyEvent(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LCTRL));
    EXPECT_EQ(control.size(), 2u);
}

TEST(TranslateText, OneEventPairPerUtf16Unit) {
    auto events = translate(textEvent("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")); // a, e-acute, euro, emoji
    ASSERT_EQ(types(events), (std::vector<int>{K_EVENT_CHAR, K_EVENT_KEYCHAR, K_EVENT_CHAR, K_EVENT_KEYCHAR,
                                               K_EVENT_KEYCHAR, K_EVENT_KEYCHAR, K_EVENT_KEYCHAR}));
    EXPECT_EQ(events[0].scanCode, 'a');
    EXPECT_EQ(events[1].character, 'a');
    EXPECT_EQ(events[2].scanCode, 0xE9);
    EXPECT_EQ(events[3].character, 0xE9);
    EXPECT_EQ(events[4].character, 0x20AC);
    EXPECT_EQ(events[5].character, 0xD83D);
    EXPECT_EQ(events[6].character, 0xDE00);
    EXPECT_EQ(events[1].x, 0);
}

TEST(TranslateButtons, ClicksDoubleClicksAndTheContextMenu) {
    // 1024 x 768 pillar-boxed on 1920 x 1080.
    PointerMapping mapping = pointerMappingFor(computeAspect({1024, 768, 800, 600, 1920, 1080, true, K_ASPECT_FIT}),
                                               1024, 768);
    auto down = translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 240, 0), mapping);
    ASSERT_EQ(types(down), (std::vector<int>{K_EVENT_MOUSEDOWN}));
    EXPECT_EQ(down[0].button, 1);
    EXPECT_EQ(down[0].x, 0);
    EXPECT_EQ(down[0].y, 0);
    EXPECT_EQ(down[0].lParam, 240);

    auto twice = translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 2, 1679, 1079), mapping);
    ASSERT_EQ(types(twice), (std::vector<int>{K_EVENT_MOUSEDOWN, K_EVENT_DOUBLECLICK}));
    EXPECT_EQ(twice[1].button, 3);
    EXPECT_EQ(twice[1].x, 1023);
    EXPECT_EQ(twice[1].y, 767);

    auto thrice = translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 0, 0));
    EXPECT_EQ(types(thrice), (std::vector<int>{K_EVENT_MOUSEDOWN}));

    auto rightUp = translate(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 3, 4));
    ASSERT_EQ(types(rightUp), (std::vector<int>{K_EVENT_MOUSEUP, K_EVENT_CONTEXTMENU}));
    EXPECT_EQ(rightUp[0].button, 2);
    EXPECT_EQ(rightUp[1].x, 3);

    EXPECT_TRUE(translate(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 0, 0)).empty());
}

TEST(TranslateButtons, ContextMenuKeys) {
    auto apps = translate(keyEvent(SDL_KEYUP, SDLK_APPLICATION, SDL_SCANCODE_APPLICATION));
    EXPECT_EQ(types(apps), (std::vector<int>{K_EVENT_KEYUP, K_EVENT_CONTEXTMENU}));
    auto shiftF10 = translate(keyEvent(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10, KMOD_LSHIFT));
    EXPECT_EQ(types(shiftF10), (std::vector<int>{K_EVENT_KEYCHAR, K_EVENT_KEYDOWN, K_EVENT_CONTEXTMENU}));
}

TEST(TranslatePointer, MotionAndWheel) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 11;
    motion.motion.y = 12;
    auto moved = translate(motion);
    ASSERT_EQ(types(moved), (std::vector<int>{K_EVENT_MOUSEMOVE}));
    EXPECT_EQ(moved[0].x, 11);
    EXPECT_EQ(moved[0].y, 12);
    EXPECT_EQ(moved[0].lParam, 12 << 16 | 11);

    auto down = translate(wheelEvent(-1));
    ASSERT_EQ(types(down), (std::vector<int>{K_EVENT_WHEEL}));
    EXPECT_EQ(down[0].wheelDelta, -120);
    EXPECT_EQ(down[0].x, 30);
    EXPECT_EQ(down[0].y, 40);
    EXPECT_EQ(translate(wheelEvent(1, SDL_MOUSEWHEEL_FLIPPED))[0].wheelDelta, -120);
    EXPECT_EQ(translate(wheelEvent(0.25f))[0].wheelDelta, 30);
    EXPECT_TRUE(translate(wheelEvent(0)).empty());
    EXPECT_EQ(translate(wheelEvent(1000))[0].wheelDelta, INT16_MAX);
}

TEST(TranslateOther, EventsWithoutInputGiveNothing) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_TRUE(translate(quit).empty());
}

} // namespace
} // namespace glint
