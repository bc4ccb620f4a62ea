// The profile list: the five names and the current slot, read once per run
// with every slot's file checked, and written whenever scripts ask.
#include "game/profiles.h"

#include "engine/system/durable_file.h"
#include "engine/system/log.h"

namespace glint {

namespace {

constexpr int32_t kOldestListVersion = 96;

} // namespace

void MProfiles::loadList() {
    SaveStream stream;
    stream.backups = settings_.backups;
    int result = stream.openReadWithBackup(listPath());
    if (result == kSaveOpened && !readList(stream))
        result = kSaveDamaged;
    if (result == kSaveOpened) {
        bool dropped = false;
        for (int slot = kProfileSlots; slot >= 1; --slot) {
            std::string path;
            if (!profilePath(slot, path) || slotFileReadable(slot))
                continue;
            dropSlot(slot);
            dropped = true;
        }
        if (dropped) {
            result = kProfileDropped;
            saveList();
        }
    }
    loadProfilesResult = Value::fromNumber(result);
}

bool MProfiles::readList(SaveStream& s) {
    if (s.formatVersion < kOldestListVersion || s.dataVersion < kOldestListVersion)
        return false;
    int32_t current = 0;
    if (!profileListRecord(s, current, names))
        return false;
    index = Value::fromNumber(current >= 1 && current <= kProfileSlots ? current : 0);
    return true;
}

bool MProfiles::slotFileReadable(int slot) {
    std::string path;
    profilePath(slot, path);
    SaveStream stream;
    stream.backups = settings_.backups;
    if (stream.openReadWithBackup(path) != kSaveOpened)
        return false;
    stream.probe = true;
    SaveWorld nothing;
    ProfileOffsets found;
    if (readProfileContent(stream, nothing, nullptr, true, nullptr, found))
        return true;
    setAsideDamagedFile(path);
    return false;
}

void MProfiles::dropSlot(int slot) {
    deleteProfileFiles(slot);
    for (int i = slot; i < kProfileSlots; ++i)
        names[i - 1] = names[i]; // a copy carries no Unchanged flag
    names[kProfileSlots - 1] = Value();
    if (!index.isNumber())
        return;
    int current = currentSlot();
    if (current == slot)
        index = Value();
    else if (current > slot)
        index = Value::fromNumber(index.number - 1);
}

// A list that cannot be built keeps the previous file: it still names the
// profiles the player has.
bool MProfiles::saveList() {
    SaveStream stream;
    stream.backups = settings_.backups;
    int32_t current = listedSlot();
    if (!stream.beginWrite(listPath(), kSaveFormatVersion) || !profileListRecord(stream, current, names)) {
        logMessage("System: cannot save the profile list %s, WARNING", listPath().c_str());
        return false;
    }
    return stream.commit();
}

} // namespace glint
