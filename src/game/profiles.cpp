#include "game/profiles.h"

#include <utility>

#include "script/array_object.h"
#include "script/value.h"

namespace glint {

namespace {

// Only such names become file names: nothing a player types can reach
// another folder or another kind of file.
bool fileNameAllowed(const Value& name) {
    if (!name.isString())
        return false;
    const Symbol* text = name.symbol();
    for (int32_t i = 0; i < text->length; ++i) {
        char c = text->text[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace

MProfiles::MProfiles(ProfileSettings settings, Scope& global, std::function<SaveWorld()> world)
    : settings_(std::move(settings)), global_(global), world_(std::move(world)) {
    maxProfiles = Value::fromNumber(kProfileSlots);
}

void MProfiles::bind() {
    declareVariable(global_, KindPlain, sym::Max_profiles(), &maxProfiles);
    declareVariable(global_, KindPlain, sym::Profile_index(), &index);
    declareVariable(global_, KindPlain, sym::Profile_version(), &version);
    declareVariable(global_, KindPlain, sym::LoadProfilesResult(), &loadProfilesResult);
    declareVariable(global_, KindPlain, sym::LoadResult(), &loadResult);
    Value* list = findVariable(global_, KindPlain, sym::Profile_names_array(), nullptr, true);
    if (list && list->is(ValueType::Array))
        for (int slot = 1; slot <= kProfileSlots; ++slot)
            list->as<ArrayObject>()->put(slot, &names[slot - 1]);
}

bool MProfiles::profilePath(int slot, std::string& path) const {
    if (slot < 1 || slot > kProfileSlots || !fileNameAllowed(names[slot - 1]))
        return false;
    path = settings_.folder + "/" + names[slot - 1].symbol()->text + "." + settings_.saveExt;
    return true;
}

std::string MProfiles::listPath() const { return settings_.folder + "/profiles." + settings_.listExt; }

int MProfiles::currentSlot() const {
    return index.isNumber() ? static_cast<int>(roundToInteger(index.number)) : 0;
}

// The list names no slot outside 1 to 5.
int MProfiles::listedSlot() const {
    int slot = currentSlot();
    return slot >= 1 && slot <= kProfileSlots ? slot : 0;
}

} // namespace glint
