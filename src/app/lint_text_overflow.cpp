// Texts that do not fit their element's box, laid out with the game's own
// fonts the way the player lays them out, in every language the game has:
// a translation that runs longer than the original is the usual case.
#include "app/lint.h"

#include "app/application.h"
#include "app/engine.h"
#include "engine/text/text.h"
#include "scene/element.h"
#include "scene/element_visual.h"
#include "scene/scene.h"
#include "scene/scene_draw.h"
#include "scene/scene_engine_state.h"
#include "text/localization.h"

#include <cmath>
#include <set>

namespace glint {

namespace {

struct Box {
    float w = 0, h = 0;
};

Box boxOf(const MElement& e) {
    if (e.sizeOverride)
        return {e.sizeOverride->w, e.sizeOverride->h};
    return e.visual ? Box{e.visual->width, e.visual->height} : Box{};
}

float lineHeightOf(const MElement& e) {
    const Value* height = e.members.get(sym::font_height());
    return height && height->isNumber() && height->number >= 1 ? static_cast<float>(height->number) : -1;
}

std::string sizeText(float w, float h) {
    return std::to_string(static_cast<long>(std::ceil(w))) + "x" + std::to_string(static_cast<long>(std::ceil(h)));
}

class Overflow {
public:
    explicit Overflow(LintContext& lint) : lint_(lint) {}

    void language(const std::string& suffix) {
        loadLocalization(lint_.engine.app.gameConfig, suffix.c_str());
        table_ = localizationPath(suffix.c_str());
        for (MScene* scene : lint_.engine.scenes.scenes()) {
            std::string file = sceneFilePath(lint_.engine, *scene);
            if (!file.empty())
                for (MElement* element : scene->elements) this->element(file, *element);
        }
    }

private:
    void element(const std::string& file, MElement& e) {
        Box box = boxOf(e);
        KText* font = elementFont(e);
        if (!font || box.w <= 0 || box.h <= 0 || !elementShowsText(e))
            return;
        const char* text = e.text();
        if (!text || !text[0])
            return;
        float scale = sceneEngineState().globalFontScaling;
        KTextBoxSize size = font->measureTextBox(text, std::floor(box.w), lineHeightOf(e), scale, scale);
        // Half a pixel of slack: sizes are rounded where they are drawn.
        if (size.width <= box.w + 0.5f && size.height <= box.h + 0.5f)
            return;
        const Value* key = e.members.get(sym::text_key());
        bool keyed = key && key->isString() && key->symbol()->text[0];
        // A text without key reads the same in every language.
        if (!reported_.insert(file + "\n" + e.name->text + "\n" + (keyed ? table_ : "")).second)
            return;
        std::string what = keyed ? std::string("text \"") + key->symbol()->text + "\"" : "text";
        std::string in = keyed ? " with " + table_ : "";
        int line = lint_.sources.lineOf(file, keyed ? key->symbol()->view() : e.name->view());
        lint_.report.error(file, line,
                           what + " of " + e.name->text + " overflows its box" + in + ": " +
                               sizeText(size.width, size.height) + " in " + sizeText(box.w, box.h));
    }

    LintContext& lint_;
    std::string table_;
    std::set<std::string> reported_;
};

} // namespace

void lintTextOverflow(LintContext& lint) {
    Overflow overflow(lint);
    std::vector<std::string> suffixes = localizationSuffixes(lint.engine);
    if (suffixes.empty())
        suffixes.push_back(""); // texts without keys still have a box
    for (const std::string& suffix : suffixes) overflow.language(suffix);
}

} // namespace glint
