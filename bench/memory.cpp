// The engine's own heap while the sample game is played by its walkthrough
// in this process, headless: at the menu, at each point the walkthrough
// takes a picture, and at the end (goal: under 64 MB throughout), with the
// resource manager's loaded textures, images and sounds at each point. Back
// at the menu after the walk through every room, nothing may be loaded that
// the first visit to the menu did not hold: the status is 1 when something
// is (or when the heap passed the goal).
//
// The heap is counted by replacing the global operator new and delete here:
// the engine allocates only through them. Blocks asked for by the GL driver
// (Mesa and its LLVM compiler, which are C++ too) are left out by the
// library of the caller; the C library's total (mallinfo2, GL driver
// included) is printed beside it.
//
//   bench_memory
#include "app/application.h"
#include "app/engine.h"
#include "app/headless.h"
#include "engine/resources/resource.h"
#include "engine/system/numbers.h"
#include "engine/system/system.h"
#include "resource/resource_manager.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <link.h>
#include <malloc.h>
#include <map>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---- Counting allocations -------------------------------------------------

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

// Which code asked for a block: the caller's shared object, by the address
// ranges of its loaded segments. Looked up once per object and cached in a
// fixed table, since the lookup itself must not allocate.
struct Range {
    uintptr_t start, end;
    bool driver;
};
constexpr int kMaxRanges = 512;
Range ranges[kMaxRanges];
std::atomic<int> rangeCount{0};

bool isDriverLibrary(const char* path) {
    for (const char* part : {"LLVM", "gallium", "_dri", "mesa", "libGL", "libEGL", "glapi", "libgbm", "libdrm"})
        if (std::strstr(path, part))
            return true;
    return false;
}

struct Search {
    uintptr_t address;
    bool found;
};

int addObjectRanges(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    bool contains = false;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && search->address >= start && search->address < start + segment.p_memsz)
            contains = true;
    }
    if (!contains)
        return 0;
    bool driver = isDriverLibrary(info->dlpi_name ? info->dlpi_name : "");
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        int slot = rangeCount.load();
        if (segment.p_type != PT_LOAD || slot >= kMaxRanges)
            continue;
        uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        ranges[slot] = {start, start + segment.p_memsz, driver};
        rangeCount.store(slot + 1);
    }
    search->found = true;
    return 1;
}

std::atomic_flag rangeLock = ATOMIC_FLAG_INIT;

bool fromDriver(void* caller) {
    auto address = reinterpret_cast<uintptr_t>(caller);
    while (rangeLock.test_and_set(std::memory_order_acquire)) {
    }
    bool driver = false, known = false;
    for (int i = 0, n = rangeCount.load(); i < n && !known; ++i)
        if (address >= ranges[i].start && address < ranges[i].end)
            known = true, driver = ranges[i].driver;
    if (!known) {
        Search search{address, false};
        dl_iterate_phdr(addObjectRanges, &search);
        for (int i = 0, n = rangeCount.load(); i < n; ++i)
            if (address >= ranges[i].start && address < ranges[i].end)
                driver = ranges[i].driver;
    }
    rangeLock.clear(std::memory_order_release);
    return driver;
}

// Each block carries its size, or 0 when it is not counted, in front of it.
constexpr size_t kHeader = 16;

void* allocate(size_t size, size_t alignment, void* caller) {
    alignment = alignment < kHeader ? kHeader : alignment;
    size_t total = (size + alignment + alignment - 1) / alignment * alignment;
    void* base = std::aligned_alloc(alignment, total);
    if (!base)
        throw std::bad_alloc();
    char* block = static_cast<char*>(base) + alignment;
    bool counted = !fromDriver(caller);
    reinterpret_cast<size_t*>(block)[-1] = counted ? size : 0;
    reinterpret_cast<size_t*>(block)[-2] = alignment;
    if (counted) {
        long long now = liveBytes += static_cast<long long>(size);
        for (long long peak = peakBytes.load(); now > peak && !peakBytes.compare_exchange_weak(peak, now);) {
        }
    }
    return block;
}

void deallocate(void* pointer) {
    if (!pointer)
        return;
    char* block = static_cast<char*>(pointer);
    size_t size = reinterpret_cast<size_t*>(block)[-1];
    size_t alignment = reinterpret_cast<size_t*>(block)[-2];
    liveBytes -= static_cast<long long>(size);
    std::free(block - alignment);
}

} // namespace

void* operator new(size_t size) { return allocate(size, 0, __builtin_return_address(0)); }
void* operator new[](size_t size) { return allocate(size, 0, __builtin_return_address(0)); }
void* operator new(size_t size, std::align_val_t a) {
    return allocate(size, static_cast<size_t>(a), __builtin_return_address(0));
}
void* operator new[](size_t size, std::align_val_t a) {
    return allocate(size, static_cast<size_t>(a), __builtin_return_address(0));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size, 0, __builtin_return_address(0));
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size, 0, __builtin_return_address(0));
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { deallocate(p); }
void operator delete[](void* p) noexcept { deallocate(p); }
void operator delete(void* p, size_t) noexcept { deallocate(p); }
void operator delete[](void* p, size_t) noexcept { deallocate(p); }
void operator delete(void* p, std::align_val_t) noexcept { deallocate(p); }
void operator delete[](void* p, std::align_val_t) noexcept { deallocate(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { deallocate(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { deallocate(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { deallocate(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { deallocate(p); }

namespace {

using namespace glint;

double megabytes(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

struct Sample {
    std::string label;
    long long engineHeap;
    size_t mallocTotal;
    LoadedResources loaded;
    std::set<std::string> paths; // what is loaded
};

// Plays the walkthrough; instead of taking its pictures it samples the
// heap and the resource counts at those frames.
class SamplingDriver : public HeadlessDriver {
public:
    SamplingDriver(const PlayerOptions& options, std::vector<ScriptedInput> inputs,
                   std::map<int, std::string> points)
        : HeadlessDriver(options, std::move(inputs)), points_(std::move(points)) {}

    void framePresented(int frame, KGameWindow& window) override {
        HeadlessDriver::framePresented(frame, window);
        auto point = points_.find(frame);
        MEngine* engine = app ? app->engine() : nullptr;
        if (point == points_.end() || !engine)
            return;
        std::vector<const MResource*> which;
        Sample sample{point->second, liveBytes.load(), mallinfo2().uordblks, engine->resources.loaded(&which), {}};
        for (const MResource* resource : which)
            sample.paths.insert(resource->path);
        samples.push_back(std::move(sample));
    }

    std::vector<Sample> samples;

private:
    std::map<int, std::string> points_;
};

// The walkthrough's events without its pictures, and the frames and names
// of those pictures.
bool readWalkthrough(const std::string& path, std::vector<ScriptedInput>& events, std::map<int, std::string>& points) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ScriptedInput> all;
    std::string error;
    if (!in || !parseInputScript(text.str(), all, error)) {
        std::fprintf(stderr, "bench_memory: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    for (ScriptedInput& input : all) {
        if (input.verb == "shot")
            points[input.frame] = std::filesystem::path(input.text).stem().string();
        else
            events.push_back(std::move(input));
    }
    return true;
}

void printSample(const Sample& s) {
    std::printf("  %-12s engine heap %7.2f MB   malloc in use %7.2f MB   textures %3d (images %3d)  sounds %2d  videos %d\n",
                s.label.c_str(), megabytes(s.engineHeap), megabytes(static_cast<long long>(s.mallocTotal)),
                s.loaded.textures, s.loaded.images, s.loaded.sounds, s.loaded.videos);
}

long long residentPeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atoll(line.c_str() + 6);
    return 0;
}

} // namespace

int main() {
    const std::filesystem::path source(GLINT_SOURCE_PATH);
    std::filesystem::path home = std::filesystem::temp_directory_path() / "glint_bench_memory";
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    // A first start in a folder of its own, as the walkthrough expects.
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::vector<ScriptedInput> events;
    std::map<int, std::string> points;
    if (!readWalkthrough((source / "games/demo/walkthrough.txt").string(), events, points))
        return 2;
    PlayerOptions options;
    options.gameDir = (source / "games/demo").string();
    options.headless = true;
    options.frames = 6600; // the walkthrough quits before; this stops a run gone astray
    SamplingDriver driver(options, std::move(events), std::move(points));
    if (!systemInit(options.gameDir.c_str()))
        return 1;
    seedRandomWith(4357);
    resourceMountArchive(resolveDataPath("data.pak"));
    long long beforeWindow = liveBytes.load();
    bool ran = runDriven(driver);
    std::filesystem::remove_all(home);
    if (!ran || driver.samples.empty()) {
        std::fprintf(stderr, "bench_memory: the sample game did not run\n");
        return 1;
    }
    std::printf("the sample game by its walkthrough (engine heap: operator new less the GL driver's blocks)\n");
    std::printf("  before the window: engine heap %.2f MB\n", megabytes(beforeWindow));
    for (const Sample& s : driver.samples)
        printSample(s);
    std::printf("  peak engine heap %.2f MB (goal: under 64 MB); peak resident %.1f MB\n", megabytes(peakBytes.load()),
                residentPeakKb() / 1024.0);
    // The walkthrough's pictures "menu" and "menu_again" are the same menu.
    const Sample* first = nullptr;
    const Sample* last = nullptr;
    for (const Sample& s : driver.samples) {
        if (s.label == "menu")
            first = &s;
        if (s.label == "menu_again")
            last = &s;
    }
    if (!first || !last) {
        std::printf("the walkthrough no longer takes the pictures menu and menu_again\n");
        return 1;
    }
    int kept = 0;
    for (const std::string& path : last->paths) {
        if (!first->paths.count(path)) {
            std::printf("  still loaded back at the menu: %s\n", path.c_str());
            ++kept;
        }
    }
    for (const std::string& path : first->paths)
        if (!last->paths.count(path))
            std::printf("  loaded at the first visit only: %s\n", path.c_str());
    if (kept > 0)
        return 1;
    std::printf("back at the menu nothing is loaded that the first visit did not hold\n");
    return peakBytes.load() < 64LL * 1024 * 1024 ? 0 : 1;
}
