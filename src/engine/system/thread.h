// Processor binding. The main thread is bound to the first processor so that
// its clock readings and frame pacing stay on one core. On Linux a new thread
// inherits its creator's binding, so every thread the engine starts goes
// through startThread, which gives the thread the process's original set of
// processors back.
#pragma once

#include <functional>
#include <thread>

namespace glint {

// Binds the calling thread to the first processor and logs the old mask
// ("System: cpu mask is 0x%X" or "System: main thread bound to first cpu;
// cpu mask is 0x%X"). Does nothing when the system refuses.
void bindMainThreadToFirstCpu();

// Gives the calling thread the processors the process had before the main
// thread was bound.
void releaseThreadBinding();

// A thread that runs body on the process's original processors.
std::thread startThread(std::function<void()> body);

} // namespace glint
