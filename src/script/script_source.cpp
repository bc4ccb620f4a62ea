#include "script/script_source.h"

#include <cstring>

#include "engine/resources/resource.h"
#include "resource/text_file.h"

namespace glint {

namespace {
ScriptFileHook fileHook = nullptr;

void dropByteOrderMark(std::string& text) {
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
        text.erase(0, 3);
}
} // namespace

void setScriptFileHook(ScriptFileHook hook) { fileHook = hook; }

bool loadScriptFile(const std::string& path, std::string& text) {
    if (fileHook) {
        if (!fileHook(path, text)) return false;
        dropByteOrderMark(text);
        return true;
    }
    MTextFile file;
    if (!file.loadText(resolveDataPath(path.c_str()))) return false;
    text.assign(file.data(), static_cast<size_t>(file.size()));
    return true;
}

ScriptSource* ScriptSourceList::add(Symbol* name, const char* text, size_t length) {
    auto source = std::make_unique<ScriptSource>();
    source->name = name;
    source->position = static_cast<int32_t>(sources_.size());
    source->length = static_cast<int32_t>(length);
    source->text = std::make_unique<char[]>(length + 1);
    std::memcpy(source->text.get(), text, length);
    source->text[length] = 0;
    sources_.push_back(std::move(source));
    return sources_.back().get();
}

ScriptSource* ScriptSourceList::loaded(Symbol* name) const {
    for (auto& source : sources_)
        if (source->name == name) return source.get();
    return nullptr;
}

ScriptSource* ScriptSourceList::find(Symbol* name, const char* folder) {
    if (ScriptSource* source = loaded(name)) return source;
    const std::string file = std::string(name->text) + ".script";
    const std::string candidates[] = {
        folder && *folder ? std::string(folder) + "/" + file : std::string(), // a scene without folder has none
        "data/_interface/_scripts/" + file,
        "tools/data/_interface/_scripts/" + file,
    };
    std::string text;
    for (const std::string& path : candidates) {
        if (path.empty() || !loadScriptFile(path, text)) continue;
        return add(name, text.data(), text.size());
    }
    return nullptr;
}

} // namespace glint
