// Loading a profile: its information, or its information and saved game,
// or one value of its information; and the requests served by the switch.
#include "game/profiles.h"

#include "engine/system/durable_file.h"
#include "script/interpreter.h"

namespace glint {

int MProfiles::loadProfile(int slot, bool full, Symbol* key, Value* result) {
    if (!key)
        version = Value();
    std::string path;
    if (!profilePath(slot, path))
        return kSaveMissing;
    SaveStream stream;
    stream.backups = settings_.backups;
    int opened = stream.openReadWithBackup(path);
    if (opened != kSaveOpened)
        return opened;
    if (!key)
        version = Value::fromNumber(stream.formatVersion);
    SaveWorld world = world_();
    SaveKeyLookup lookup{key, result};
    if (readProfileContent(stream, world, &global_, full, key ? &lookup : nullptr, offsets))
        return kSaveOpened;
    if (full)
        setAsideDamagedFile(path);
    return kSaveDamaged;
}

void MProfiles::loadProfileAndSignal(int slot, bool full, Symbol* key, Value* result) {
    loadResult = Value::fromNumber(loadProfile(slot, full, key, result));
    Value* signal = findVariable(global_, KindSignal, sym::load(), nullptr, false);
    if (signal && signal->is(ValueType::Signal))
        raiseSignal(signal->as<ScriptSignal>());
}

void MProfiles::serveSwitchRequests(int slot) {
    if (saveRequest != kNoSaveRequest) {
        saveRequest = kNoSaveRequest;
        if (slot > 0)
            saveProfile(slot);
    }
    if (loadRequest) {
        loadRequest = false;
        if (slot > 0)
            loadProfileAndSignal(slot, true, nullptr, nullptr);
    }
}

} // namespace glint
