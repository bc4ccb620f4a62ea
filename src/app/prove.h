// glint prove: a game played headless by its own hint engine. After the
// input file (menus, a profile name), whenever a gameplay scene is active
// and nothing is in progress, the driver asks for the next hint as the
// hint button does and performs it as a player would: it clicks the task's
// element at its hotspot centre, and for a use task first takes the object
// the task needs (from the scene, or from the inventory panel). It prints
// one line per step and ends with
//   "finished in N steps" (status 0) when the game quits or restarts;
//   "stuck after N steps in SCENE: REASON" (status 1) when no hint comes
//   three times in a row or the same hint comes ten times without any task
//   changing state;
//   status 1 as well once the step limit is reached.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/headless.h"

namespace glint {

class MEngine;
struct ScriptTask;

class ProveDriver : public HeadlessDriver {
public:
    ProveDriver(const ProveOptions& options, std::vector<ScriptedInput> inputs, std::FILE* out);

    void beginFrame(int frame) override;
    void framePresented(int frame, KGameWindow& window) override;
    bool finished(int frame) override;

    // 0 finished, 1 stuck or out of steps; -1 while the game runs (and
    // when the window closed before the end was known).
    int status() const { return status_; }

private:
    // A pointer event of a step, due at a frame.
    struct Action {
        int frame;
        ScriptedInput input;
    };

    bool ready(const MEngine& engine) const;
    void step(MEngine& engine, int frame);
    // Queues the pointer events of a click at (x, y) from frame on.
    void click(int frame, int x, int y);
    // The hint performed: returns what was done, "" when it could not be.
    std::string perform(MEngine& engine, ScriptTask* task, int frame);
    std::string takeObject(MEngine& engine, const ScriptTask& task, int frame);
    std::vector<int32_t> taskStates() const;
    void end(int status, const std::string& line);
    std::string sceneName(const MEngine& engine) const;

    int maxSteps_;
    std::string shotsDir_;
    std::FILE* out_;
    int status_ = -1;
    bool proving_ = false;
    int steps_ = 0;
    int idleFrames_ = 0;      // frames since the last step's events ended
    int unsettledFrames_ = 0; // frames the game has been busy since then
    int noHint_ = 0, repeats_ = 0;
    ScriptTask* lastHint_ = nullptr;
    std::vector<int32_t> lastStates_;
    std::vector<Action> pending_;
    int shotWanted_ = 0, shotWritten_ = 0; // steps whose pictures are due, written
};

} // namespace glint
