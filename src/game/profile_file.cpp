#include "game/profile_file.h"

#include "engine/system/log.h"
#include "game/save_trace.h"
#include "game/save_values.h"

namespace glint {

namespace {

constexpr int32_t kOldestProfileVersion = 96;
constexpr int32_t kStateOffset = 24;

// The game state is written and read in the file's data version.
bool stateSection(SaveStream& s, SaveWorld& world) {
    int32_t format = s.formatVersion;
    s.formatVersion = s.dataVersion;
    bool ok = gameStateRecord(s, world) && s.checkpoint();
    s.formatVersion = format;
    return ok;
}

bool infoSection(SaveStream& s, Scope* global, SaveKeyLookup* lookup) {
    if (s.trace && s.reading())
        s.trace->beginObject("information");
    bool ok = variableSection(s, global, true, false, lookup) && s.checkpoint();
    if (ok && s.trace && s.reading())
        s.trace->endObject();
    return ok;
}

bool offsetWithin(const SaveStream& s, int32_t offset) {
    return offset >= 1 && static_cast<size_t>(offset) < s.size();
}

// The information at the stream's position and the state's offset behind it.
bool infoAndStateOffset(SaveStream& s, Scope& global, ProfileOffsets& offsets) {
    offsets.info = s.position();
    return infoSection(s, &global, nullptr) && s.wordField(offsets.state) && s.checkpoint();
}

} // namespace

bool writeProfileContent(SaveStream& s, SaveWorld& world, Scope& global, ProfileOffsets& offsets) {
    if (!s.wordField(offsets.info) || !s.checkpoint())
        return false;
    offsets.state = s.position();
    if (!stateSection(s, world) || !infoAndStateOffset(s, global, offsets))
        return false;
    int32_t end = s.position();
    s.seek(kStateOffset - 8);
    if (!s.wordField(offsets.info) || !s.checkpoint())
        return false;
    s.seek(end);
    if (s.methodValuesLeftOut > 0)
        logMessage("Save: %d method values not saved, the first in '%s'", s.methodValuesLeftOut,
                   s.firstMethodLeftOut.c_str());
    return true;
}

bool readProfileContent(SaveStream& s, SaveWorld& world, Scope* global, bool full, SaveKeyLookup* lookup,
                        ProfileOffsets& offsets) {
    if (s.formatVersion < kOldestProfileVersion || s.dataVersion < kOldestProfileVersion)
        return s.fail();
    if (!s.wordField(offsets.info) || !s.checkpoint())
        return false;
    if (!offsetWithin(s, offsets.info))
        return s.fail();
    s.seek(offsets.info);
    if (!infoSection(s, lookup ? nullptr : global, lookup) || !s.wordField(offsets.state) || !s.checkpoint())
        return false;
    if (!offsetWithin(s, offsets.state))
        return s.fail();
    if (!full)
        return true;
    s.seek(offsets.state);
    return stateSection(s, world);
}

bool readProfileLayout(SaveStream& s, ProfileOffsets& offsets) {
    bool probing = s.probe;
    s.probe = true;
    SaveWorld nothing;
    bool ok = readProfileContent(s, nothing, nullptr, false, nullptr, offsets) && offsets.info >= kStateOffset;
    s.probe = probing;
    return ok;
}

bool rewriteProfileInfo(SaveStream& s, const SaveStream& old, Scope& global, ProfileOffsets& offsets) {
    if (!s.wordField(offsets.info) || !s.checkpoint())
        return false;
    if (offsets.info < kStateOffset || static_cast<size_t>(offsets.info) > old.size())
        return s.fail();
    if (!s.storedBytes(old.bytes().data() + kStateOffset, offsets.info - kStateOffset))
        return false;
    // infoOffset at 16 already holds the place the information keeps.
    s.seek(offsets.info);
    return infoAndStateOffset(s, global, offsets);
}

bool profileListRecord(SaveStream& s, int32_t& current, Value* names) {
    int32_t count = kProfileSlots;
    if (!s.intField(current) || !s.intField(count))
        return false;
    if (s.reading())
        count = count < 0 ? 0 : count > kProfileSlots ? kProfileSlots : count;
    for (int32_t i = 0; i < count; ++i)
        if (!valueRecord(s, names[i]))
            return false;
    return true;
}

bool gamePropertiesRecord(SaveStream& s, std::vector<GamePropertyRecord>& entries) {
    if (s.writing()) {
        for (GamePropertyRecord& entry : entries) {
            if (!s.nameField(entry.key) || !s.doubleField(entry.number) || !s.nameField(entry.text))
                return false;
        }
        Symbol* end = nullptr;
        return s.nameField(end);
    }
    for (;;) {
        GamePropertyRecord entry;
        if (!s.nameField(entry.key))
            return false;
        if (!entry.key)
            return true;
        bool number = true;
        if (s.formatVersion < 103) {
            float f = 0;
            number = s.floatField(f);
            entry.number = f;
        } else {
            number = s.doubleField(entry.number);
        }
        if (!number || !s.nameField(entry.text))
            return false;
        entries.push_back(entry);
    }
}

} // namespace glint
