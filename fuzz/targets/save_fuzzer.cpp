// Player files over arbitrary bytes, read as the authoring tool lists them
// (probe mode: nothing resolved, nothing applied): a profile with its
// information and game state, the lookup of one information key that the
// scripts ask a profile for, the same profile's information rewritten
// behind its game state, a profile list and a game-property file.
//
// The input is tried twice: as a whole file, and as the plain content
// behind a valid header with its checks ignored, so that the records
// behind the checks are reached too.
#include "game/profile_file.h"
#include "game/save_stream.h"
#include "game/save_state.h"
#include "game/save_trace.h"

#include <cstdint>
#include <vector>

using namespace glint;

namespace {

// Each kind from a fresh stream over the same bytes.
void readAllKinds(const std::vector<uint8_t>& bytes, bool ignoreChecks) {
    {
        SaveStream s;
        if (s.openBytes(bytes) != kSaveOpened)
            return;
        s.probe = true;
        s.ignoreChecks = ignoreChecks;
        SaveTrace trace;
        s.trace = &trace;
        SaveWorld world;
        ProfileOffsets offsets;
        readProfileContent(s, world, nullptr, true, nullptr, offsets);
    }
    {
        // One information key, as the scripts read it from a profile that
        // is not loaded: nothing else is applied.
        SaveStream s;
        if (s.openBytes(bytes) != kSaveOpened)
            return;
        s.ignoreChecks = ignoreChecks;
        static Symbol* const key = intern("best");
        Value result;
        SaveKeyLookup lookup{key, &result};
        SaveWorld world;
        ProfileOffsets offsets;
        readProfileContent(s, world, nullptr, false, &lookup, offsets);
    }
    {
        // An information save over the bytes: the offsets it finds bound
        // the copy of the old game state.
        SaveStream old;
        if (old.openBytes(bytes) != kSaveOpened)
            return;
        old.ignoreChecks = ignoreChecks;
        ProfileOffsets offsets;
        if (readProfileLayout(old, offsets)) {
            SaveStream rewritten;
            Scope global;
            rewritten.beginWrite("", old.dataVersion);
            rewriteProfileInfo(rewritten, old, global, offsets);
        }
    }
    {
        SaveStream s;
        s.openBytes(bytes);
        s.probe = true;
        int32_t current = 0;
        Value names[kProfileSlots];
        profileListRecord(s, current, names);
    }
    {
        SaveStream s;
        s.openBytes(bytes);
        s.probe = true;
        std::vector<GamePropertyRecord> entries;
        gamePropertiesRecord(s, entries);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readAllKinds(std::vector<uint8_t>(data, data + size), false);
    if (size < 2)
        return 0;
    // The first two bytes choose the data and format versions (96 to 114);
    // the header is made by hand, as a stream would reserve a megabyte.
    uint32_t word = (static_cast<uint32_t>(96 + data[0] % 19) << 16) + 96 + data[1] % 19;
    uint8_t plain[12] = {1, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 4; ++i) plain[8 + i] = static_cast<uint8_t>(word >> (8 * i));
    std::vector<uint8_t> file;
    uint32_t check = 0;
    for (uint8_t c : plain) {
        check = nextCheckValue(check, c);
        file.push_back(scrambleByte(c, static_cast<uint32_t>(file.size())));
    }
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(check >> (8 * i)));
    for (size_t i = 2; i < size; ++i) file.push_back(scrambleByte(data[i], static_cast<uint32_t>(file.size())));
    readAllKinds(file, true);
    return 0;
}
