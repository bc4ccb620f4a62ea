// Saving a profile: the whole file (the game state and the information),
// or the information alone behind the game state the file already holds.
#include "game/profiles.h"

#include "engine/system/durable_file.h"
#include "engine/system/files.h"
#include "engine/system/log.h"

namespace glint {

namespace {

// Every folder along the path, in case the player removed the per-user folder.
void createFoldersAlong(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        createDirectory(path.substr(0, slash).c_str());
}

} // namespace

bool MProfiles::saveProfile(int slot) {
    version = Value();
    std::string path;
    if (!profilePath(slot, path))
        return false;
    createFoldersAlong(path);
    SaveStream stream;
    stream.backups = settings_.backups;
    stream.beginWrite(path, kSaveFormatVersion);
    version = Value::fromNumber(kSaveFormatVersion);
    SaveWorld world = world_();
    // The previous file stays when the content cannot be built (a value
    // without a record, an overlong name): an older save beats none.
    if (!writeProfileContent(stream, world, global_, offsets)) {
        logMessage("System: cannot save the profile %s, WARNING", path.c_str());
        return false;
    }
    stream.commit();
    return true;
}

bool MProfiles::saveProfileInfo(int slot) {
    version = Value();
    std::string path;
    if (!profilePath(slot, path))
        return false;
    createFoldersAlong(path);
    SaveStream old;
    old.backups = settings_.backups;
    ProfileOffsets found;
    if (old.openReadWithBackup(path) != kSaveOpened)
        return saveProfile(slot);
    if (!readProfileLayout(old, found)) {
        setAsideDamagedFile(path); // the full save below would replace it
        return saveProfile(slot);
    }
    SaveStream stream;
    stream.backups = settings_.backups;
    if (!stream.beginWrite(path, old.dataVersion) || !rewriteProfileInfo(stream, old, global_, found) ||
        !stream.commit())
        return saveProfile(slot);
    offsets = found;
    version = Value::fromNumber(kSaveFormatVersion);
    return true;
}

} // namespace glint
