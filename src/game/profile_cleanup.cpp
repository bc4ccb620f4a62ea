// Forgetting profiles: the information in memory, one slot's files, or
// every profile file of the folder.
#include "game/profiles.h"

#include <cstdio>
#include <string>

#include "engine/system/files.h"
#include "script/array_object.h"

namespace glint {

namespace {

bool profileInfoName(const Symbol* name) {
    return name && name->length >= 2 && name->text[0] == '?' && name->text[1] >= 'a' && name->text[1] <= 'z';
}

struct FolderSweep {
    const std::string* folder;
    const std::string* extension;
    bool backups;
};

// name ends in "." + extension (and nothing follows it).
bool hasExtension(const std::string& name, const std::string& extension) {
    return name.size() > extension.size() && name[name.size() - extension.size() - 1] == '.' &&
           name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
}

// Files whose last "." is followed by exactly the profile extension, and
// their ".tmp" backups, which would otherwise bring them back.
bool removeProfileFile(const char* name, bool isDirectory, void* user) {
    auto* sweep = static_cast<FolderSweep*>(user);
    std::string file = name;
    if (sweep->backups && hasExtension(file, "tmp"))
        file.resize(file.size() - 4);
    if (!isDirectory && hasExtension(file, *sweep->extension))
        std::remove((*sweep->folder + "/" + name).c_str());
    return true;
}

} // namespace

void MProfiles::clearProfileInfo() {
    for (VariableEntry* entry : global_.list(KindPlain)) {
        if (!profileInfoName(entry->name))
            continue;
        if (entry->array) {
            entry->array->clear();
            entry->array->members.clear();
        } else if (entry->cell) {
            *entry->cell = Value();
        }
    }
}

void MProfiles::deleteProfileFiles(int slot) {
    std::string path;
    if (!profilePath(slot, path))
        return;
    std::remove(path.c_str());
    if (settings_.backups)
        std::remove((path + ".tmp").c_str());
}

void MProfiles::deleteAllProfileFiles() {
    std::remove(listPath().c_str());
    if (settings_.backups) // the next start would restore the list from it
        std::remove((listPath() + ".tmp").c_str());
    FolderSweep sweep{&settings_.folder, &settings_.saveExt, settings_.backups};
    listDirectory(settings_.folder.c_str(), removeProfileFile, &sweep);
}

} // namespace glint
