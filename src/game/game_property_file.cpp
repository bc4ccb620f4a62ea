#include "game/game_property_file.h"

#include "engine/system/log.h"
#include "game/profile_file.h"

namespace glint {

void loadGamePropertyFile(GameProperties& store, const std::string& path, bool backups) {
    store.clear();
    SaveStream stream;
    stream.backups = backups;
    std::vector<GamePropertyRecord> entries;
    if (stream.openReadWithBackup(path) != kSaveOpened || !gamePropertiesRecord(stream, entries))
        return;
    for (const GamePropertyRecord& entry : entries) {
        GameProperty& property = store.lookup(entry.key);
        property.number = entry.number;
        property.text = entry.text;
    }
}

bool saveGamePropertyFile(const GameProperties& store, const std::string& path, bool backups) {
    std::vector<GamePropertyRecord> entries;
    for (const GameProperty& property : store.entries())
        entries.push_back({property.key, property.number, property.text});
    SaveStream stream;
    stream.backups = backups;
    if (!stream.beginWrite(path, kSaveFormatVersion) || !gamePropertiesRecord(stream, entries)) {
        logMessage("System: cannot save the game properties %s, WARNING", path.c_str());
        return false;
    }
    return stream.commit();
}

} // namespace glint
