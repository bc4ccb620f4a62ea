// The headless runner: the game on SDL's offscreen display with a virtual
// clock that advances exactly the same time every frame, input played from
// a script, and screenshots of chosen frames, so that a run repeats
// exactly. Tests and authors drive games with it.
#pragma once

#include "app/application.h"
#include "app/command_line.h"
#include "engine/window/frame_timing.h"
#include "engine/window/input_source.h"

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace glint {

// One line of an input script.
struct ScriptedInput {
    int frame = 0;
    std::string verb;              // move, down, up, key, text, focus, shot, save, load, quit
    int x = 0, y = 0;              // move; down and up use button (0 left, 1 right)
    int button = 0;
    std::string text;              // key name, text, focus state, shot path
};

// Reads an input script: "FRAME VERB ARGS" per line, frames from 1, "#"
// starts a comment. click and key become their press and release lines.
// False with "line N: ..." in error for a line that cannot be used.
bool parseInputScript(const std::string& text, std::vector<ScriptedInput>& out, std::string& error);

// The virtual key and SDL key of a key name of the input script; false
// for unknown names.
bool scriptedKey(const std::string& name, int& virtualKey, int& sdlKey);

class HeadlessDriver : public LoopDriver, public FrameClock, public KInputSource {
public:
    HeadlessDriver(const PlayerOptions& options, std::vector<ScriptedInput> inputs);

    // LoopDriver
    void beginFrame(int frame) override;
    void framePresented(int frame, KGameWindow& window) override;
    bool finished(int frame) override;
    // FrameClock
    int64_t nowMs() override { return now_; }
    void sleepOneMs() override { ++now_; }
    // KInputSource
    bool keyDown(int virtualKey) override { return keys_.count(virtualKey) != 0; }
    bool keyToggled(int) override { return false; }
    bool buttonDown(int button) override { return button >= 0 && button < 2 && buttons_[button]; }
    void pointer(int* x, int* y) override;

    // Shots that could not be written, and saves and loads that failed,
    // for the exit report.
    int failedShots() const { return failedShots_; }
    int failedSaves() const { return failedSaves_; }

    // The application whose engine the save and load verbs reach.
    MApplication* app = nullptr;
    // Else only the frames that are shot are drawn: the game runs the same
    // either way, as nothing but a shot reads the picture back.
    bool drawsEveryFrame = false;

protected:
    void play(const ScriptedInput& input);
    void waitForRealTime(int frame);
    void writeShot(KGameWindow& window, const std::string& path);
    // The last frame the input file acts in.
    int lastInputFrame() const { return inputs_.empty() ? 0 : inputs_.rbegin()->first; }

private:
    void saveOrLoad(const ScriptedInput& input);

    int frames_;
    int frameMs_;
    int64_t now_ = 0;
    std::multimap<int, ScriptedInput> inputs_;
    std::multimap<int, std::string> shots_;
    std::set<int> keys_;
    bool buttons_[2] = {};
    int pointerX_ = 0, pointerY_ = 0;
    bool quit_ = false;
    int failedShots_ = 0;
    int failedSaves_ = 0;
    bool paced_ = false; // the mix is captured (SDL_AUDIODRIVER=disk)
    std::chrono::steady_clock::time_point pacingStart_;
};

// Plays the game in this process with the driver as its clock, its input
// and the target of its save and load verbs, as a headless run does; false
// when the window could not be made.
bool runDriven(HeadlessDriver& driver, bool streaming = false);

} // namespace glint
