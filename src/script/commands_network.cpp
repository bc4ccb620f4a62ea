// url_get and url_get_image: downloads whose results come back as calls.
#include "script/commands.h"
#include "script/script_system.h"

namespace glint {

namespace {

const char* urlText(const Value& v) { return v.isString() && v.pointer ? v.symbol()->text : ""; }

} // namespace

// url_get url success failure value
uint32_t commandUrlGet(Value* args, int) {
    script().downloads.startText(urlText(args[0]), args[1], args[2], args[3]);
    return 0;
}

// url_get_image url element callback value
uint32_t commandUrlGetImage(Value* args, int) {
    if (args[1].is(ValueType::Element) && args[1].pointer)
        script().downloads.startImage(urlText(args[0]), args[1].as<ScriptElement>(), args[2], args[3]);
    return 0;
}

} // namespace glint
