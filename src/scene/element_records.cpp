#include "scene/element_records.h"

#include "script/pool.h"

namespace glint {

namespace {

template <class Record> ObjectPool<Record, 256>& poolOf() {
    static ObjectPool<Record, 256> pool;
    return pool;
}

} // namespace

template <class Record> Record* takeRecord() { return poolOf<Record>().create(); }

template <class Record> void returnRecord(Record* record) {
    if (record)
        poolOf<Record>().release(record);
}

template <class Record> size_t recordsInUse() { return poolOf<Record>().liveCount(); }

#define GLINT_ELEMENT_RECORD(Record)                     \
    template Record* takeRecord<Record>();               \
    template void returnRecord<Record>(Record * record); \
    template size_t recordsInUse<Record>();
GLINT_ELEMENT_RECORD(MElementOffset)
GLINT_ELEMENT_RECORD(MElementScale)
GLINT_ELEMENT_RECORD(MSizeOverride)
GLINT_ELEMENT_RECORD(MTimeControl)
GLINT_ELEMENT_RECORD(MFade)
GLINT_ELEMENT_RECORD(MBlend)
GLINT_ELEMENT_RECORD(MHoverLink)
#undef GLINT_ELEMENT_RECORD

} // namespace glint
