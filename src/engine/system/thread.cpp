#include "engine/system/thread.h"

#include "engine/system/log.h"

#include <mutex>
#include <pthread.h>
#include <sched.h>

namespace glint {

namespace {

std::mutex bindingLock;
bool haveOriginal = false;
cpu_set_t originalSet;

// The low 32 processors of a set as a mask, the form the log shows.
unsigned lowMask(const cpu_set_t& set) {
    unsigned mask = 0;
    for (int cpu = 0; cpu < 32; ++cpu) {
        if (CPU_ISSET(cpu, &set))
            mask |= 1u << cpu;
    }
    return mask;
}

} // namespace

void bindMainThreadToFirstCpu() {
    std::lock_guard<std::mutex> hold(bindingLock);
    cpu_set_t current;
    CPU_ZERO(&current);
    if (pthread_getaffinity_np(pthread_self(), sizeof current, &current) != 0)
        return;
    int first = -1;
    for (int cpu = 0; cpu < CPU_SETSIZE && first < 0; ++cpu) {
        if (CPU_ISSET(cpu, &current))
            first = cpu;
    }
    if (first < 0)
        return;
    if (!haveOriginal) {
        originalSet = current;
        haveOriginal = true;
    }
    unsigned previous = lowMask(current);
    if (CPU_COUNT(&current) == 1) {
        logMessage("System: cpu mask is 0x%X", previous);
        return;
    }
    cpu_set_t single;
    CPU_ZERO(&single);
    CPU_SET(first, &single);
    if (pthread_setaffinity_np(pthread_self(), sizeof single, &single) == 0)
        logMessage("System: main thread bound to first cpu; cpu mask is 0x%X", previous);
}

void releaseThreadBinding() {
    std::lock_guard<std::mutex> hold(bindingLock);
    if (haveOriginal)
        pthread_setaffinity_np(pthread_self(), sizeof originalSet, &originalSet);
}

std::thread startThread(std::function<void()> body) {
    return std::thread([body = std::move(body)] {
        releaseThreadBinding();
        body();
    });
}

} // namespace glint
