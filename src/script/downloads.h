// The downloads scripts start with url_get and url_get_image. The transfers
// run on worker threads (KDownloadList); what the script gave with them
// (the callbacks, the user value, the element) stays here on the main
// thread, so that no worker ever touches a script object or the symbol
// table. At the start of each delayed-call pass the finished transfers are
// taken over: a downloaded picture replaces its element's image and every
// result becomes a delayed call that the same pass makes.
#pragma once

#include <vector>

#include "engine/system/http_download.h"
#include "script/value.h"

namespace glint {

struct ScriptElement;

class ScriptDownloads {
public:
    // A text download. On a failed transfer or a status other than 200 the
    // failure callback gets (value, the libcurl result code); otherwise the
    // success callback gets (value, the response text). A callback that is
    // no function or method is none.
    void startText(const char* url, const Value& success, const Value& failure, const Value& value);
    // An image download for the element; the callback gets (value, -1 when
    // no picture decoded or else the libcurl result code, the HTTP status).
    void startImage(const char* url, ScriptElement* element, const Value& callback, const Value& value);

    // Turns the finished downloads into delayed calls of scope (delay 0).
    void deliver(Scope& scope);
    // The element is gone: its downloads replace no picture.
    void forgetElement(const ScriptElement* gone);
    // Every value a download holds for the script, for the collector.
    template <class Visit> void forEachValue(Visit visit) const {
        for (const Request& request : requests_)
            for (const Value* v : {&request.success, &request.failure, &request.value}) visit(*v);
    }
    size_t pendingCount() const { return requests_.size(); }

    // Headless runs repeat exactly: each pass first waits for the transfers
    // in flight, so a result arrives in the update after its request.
    bool waitForTransfers = false;

private:
    struct Request {
        uint64_t id = 0;
        KDownloadKind kind = KDownloadKind::Text;
        Value success, failure; // an image download has only success
        Value value;
        ScriptElement* element = nullptr;
    };
    void deliverOne(Scope& scope, const Request& request, const KDownload& done);

    std::vector<Request> requests_;
    // Declared last: destroyed first, ending the transfers in flight.
    KDownloadList transfers_;
};

} // namespace glint
