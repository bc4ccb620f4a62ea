// A readable listing of what a save stream reads: the records add their
// names and values to a JSON document as they go. Only the authoring tool
// sets one on a stream.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glint {

class SaveTrace {
public:
    // key is null inside arrays.
    void beginObject(const char* key) { open(key, '{'); }
    void endObject() { close('}'); }
    void beginArray(const char* key) { open(key, '['); }
    void endArray() { close(']'); }
    // json is a finished JSON value.
    void field(const char* key, const std::string& json);
    void field(std::string_view key, const std::string& json);
    // An item of the array open now.
    void item(const std::string& json);

    static std::string quote(std::string_view text);
    static std::string number(double x);

    // The JSON text of the value record read last.
    std::string lastValue;
    std::string json;

private:
    void open(const char* key, char bracket);
    void close(char bracket);
    void separate();
    std::vector<bool> empty_;
};

} // namespace glint
