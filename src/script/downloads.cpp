#include "script/downloads.h"

#include <algorithm>

#include "script/host_objects.h"
#include "script/interpreter.h"

namespace glint {

namespace {

bool isCallback(const Value& v) {
    return (v.is(ValueType::Function) || v.is(ValueType::Method)) && v.pointer;
}

Value callbackOrNone(const Value& v) { return isCallback(v) ? v : Value(); }

} // namespace

void ScriptDownloads::startText(const char* url, const Value& success, const Value& failure, const Value& value) {
    if (uint64_t id = transfers_.start(url, KDownloadKind::Text))
        requests_.push_back({id, KDownloadKind::Text, callbackOrNone(success), callbackOrNone(failure), value, nullptr});
}

void ScriptDownloads::startImage(const char* url, ScriptElement* element, const Value& callback, const Value& value) {
    if (uint64_t id = transfers_.start(url, KDownloadKind::Image))
        requests_.push_back({id, KDownloadKind::Image, callbackOrNone(callback), Value(), value, element});
}

void ScriptDownloads::deliver(Scope& scope) {
    if (requests_.empty())
        return;
    if (waitForTransfers)
        transfers_.waitForRunning();
    for (const auto& done : transfers_.takeFinished()) {
        auto found = std::find_if(requests_.begin(), requests_.end(), [&](const Request& r) { return r.id == done->id; });
        if (found == requests_.end())
            continue;
        Request request = *found;
        requests_.erase(found);
        deliverOne(scope, request, *done);
    }
}

void ScriptDownloads::deliverOne(Scope& scope, const Request& request, const KDownload& done) {
    Value arguments[3] = {request.value};
    if (request.kind == KDownloadKind::Image) {
        if (done.decoded && request.element)
            request.element->replacePicture(done.info, done.pixels.data());
        if (!isCallback(request.success))
            return;
        arguments[1] = Value::fromNumber(done.decoded ? done.result : -1);
        arguments[2] = Value::fromNumber(static_cast<double>(done.responseCode));
        addDelayedCall(scope, 0, request.success, arguments, 3);
        return;
    }
    bool failed = done.result != 0 || done.responseCode != 200;
    const Value& target = failed ? request.failure : request.success;
    if (!isCallback(target))
        return;
    arguments[1] = failed ? Value::fromNumber(done.result) : Value::fromSymbol(intern(done.text()));
    addDelayedCall(scope, 0, target, arguments, 2);
}

void ScriptDownloads::forgetElement(const ScriptElement* gone) {
    for (Request& request : requests_)
        if (request.element == gone)
            request.element = nullptr;
}

} // namespace glint
