// A named set of elements of one scene, declared in the scene's script
// class under its name. Scripts read its facts; none can be written.
#pragma once

#include "script/host_objects.h"

namespace glint {

class MScene;

class MGroup : public ScriptGroup {
public:
    MGroup() = default;

    MScene* owner() const;

    bool getProperty(Symbol* key, Value& out) override;
    bool setProperty(Symbol* key, const Value& value) override;

    // Stores the largest start and loop times of the members' visuals; done
    // once the group's members are all known.
    void storeTimes();

    MScene* sourceScene = nullptr; // the template it came from, or null
    int32_t index = 0;             // in the scene's group list
    float startTime = 0, loopTime = 0;
    Value* cell = nullptr; // its variable in the scene's script class
};

} // namespace glint
