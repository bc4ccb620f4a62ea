#include "scene/subtitles.h"

#include "engine/system/log.h"
#include "resource/text_file.h"
#include "scene/element.h"
#include "scene/element_visual.h"
#include "scene/scene.h"
#include "scene/subtitle_reader.h"
#include "script/array_object.h"
#include "text/localization.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace glint {

namespace {

class ScriptArraySink : public SubtitleSink {
public:
    ScriptArraySink(MScene& scene, const MElement& element, bool checkTexts)
        : scene_(scene), element_(element), checkTexts_(checkTexts) {
        const char* name = element.name->text;
        movie_ = std::strlen(name) > 6 ? name + 6 : "";
        times_ = "Subtitles_sub_" + movie_ + "_time[]";
        durations_ = "Subtitles_sub_" + movie_ + "_duration[]";
    }

    void title(int number, double start, double duration) override {
        store(times_, number, start);
        store(durations_, number, duration);
    }

    void text(int number, int line, const std::string& text) override {
        if (!checkTexts_)
            return;
        std::string key = keyOf(number);
        const char* localized = localizedText(intern(key.c_str()));
        if (!localized)
            debugTrace("WARNING Subtitle text for $%s:%s, title number %d (line %d) is missing localization entry %s",
                       scene_.name->text, element_.name->text, number, line, key.c_str());
        else if (text != localized)
            debugTrace("WARNING Subtitle text for $%s:%s, title number %d (line %d) is different from localized "
                       "text %s",
                       scene_.name->text, element_.name->text, number, line, localized);
    }

    // A localized title beyond the last one of the file.
    void end(int next, int line) override {
        std::string key = keyOf(next);
        if (checkTexts_ && localizedText(intern(key.c_str())))
            debugTrace("WARNING Subtitle text for $%s:%s, title number %d (line %d) is missing for localization %s",
                       scene_.name->text, element_.name->text, next, line, key.c_str());
    }

private:
    // Looked up in the scene's script class, declared when missing;
    // nothing is stored in a variable that holds something else.
    void store(const std::string& arrayName, int number, double value) {
        Value* cell = findVariable(scene_.scriptClass(), KindPlain, intern(arrayName.c_str()), nullptr, true);
        if (!cell || !cell->is(ValueType::Array))
            return;
        if (Value* slot = cell->as<ArrayObject>()->slot(number))
            *slot = Value::fromNumber(value);
    }

    std::string keyOf(int number) const {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%.2d", number);
        return std::string(scene_.name->text) + ":sub_" + movie_ + "_" + digits;
    }

    MScene& scene_;
    const MElement& element_;
    bool checkTexts_;
    std::string movie_, times_, durations_;
};

} // namespace

void readSubtitles(MScene& scene, const MElement& element, bool checkTexts) {
    const MScene* owner = element.visual && element.visual->ownerScene ? element.visual->ownerScene : &scene;
    std::string path = std::string(owner->folder->text) + "/" + element.name->text + ".srt";
    MTextFile file;
    if (!file.loadText(path.c_str()))
        return;
    ScriptArraySink sink(scene, element, checkTexts);
    readSubtitleText(file.data(), path.c_str(), sink);
}

} // namespace glint
