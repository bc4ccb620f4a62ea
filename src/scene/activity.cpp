#include "scene/activity.h"

namespace glint {

bool ActivityList::busy(const MScene* scene) const {
    for (const ActivityRecord& record : records_) {
        if (record.scene == scene)
            return true;
    }
    return false;
}

ActivityList& sceneActivity() {
    static ActivityList list;
    return list;
}

} // namespace glint
