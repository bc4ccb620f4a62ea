// Files a scene or a sound list names that the game does not have. The
// player shows nothing, or stays silent, where they are missing, and says
// no word: the lint is where an author learns of them.
#include "app/lint.h"

#include "app/application.h"
#include "app/engine.h"
#include "resource/image_anim.h"
#include "resource/resource_manager.h"
#include "resource/sound_file.h"
#include "resource/texture.h"
#include "resource/video.h"
#include "scene/element.h"
#include "scene/element_files.h"
#include "scene/element_visual.h"
#include "scene/scene.h"
#include "scene/scene_sound.h"
#include "text/font_list.h"

#include <set>
#include <utility>

namespace glint {

namespace {

class MissingFiles {
public:
    explicit MissingFiles(LintContext& lint)
        : lint_(lint), engine_(lint.engine), sources_(lint.sources), report_(lint.report) {}

    void scene(MScene& scene) {
        std::string file = sceneFilePath(engine_, scene);
        if (file.empty())
            return;
        for (MElement* element : scene.elements)
            this->element(file, scene, *element);
        sounds(scene);
        scriptSounds(scene);
    }

    // Atlas pages are named by the atlas file whose entries lie on them.
    void atlasPages() {
        for (MResource* resource = engine_.resources.first(); resource; resource = resource->next) {
            if (resource->kind != ResourceKind::Texture)
                continue;
            const MTexture* page = static_cast<MTexture*>(resource)->atlasParent;
            if (!page || page->atlasParent)
                continue;
            lint_.namedFiles.insert(page->path);
            if (!gameHasFile(page->path) && firstReport(page->path))
                report_.error(atlasFileOf(page->path), 1, std::string("missing atlas page ") + page->path);
        }
    }

private:
    void element(const std::string& file, const MScene& scene, const MElement& e) {
        const MElementVisual* visual = e.visual;
        if (!visual)
            return;
        std::string_view name = ownName(e);
        if (visual->kindFlags & kVisualMovie) {
            std::string movie = movieFilePath(scene, e, engine_.scenes);
            missing(movie, "video", file, name);
        } else if (const MTexture* texture = visual->image.texture; texture && !texture->atlasParent) {
            missing(texture->path, "image", file, fileNameOf(texture->path));
        }
        if (visual->isParticleSystem())
            missing(particleFilePath(e.name->view()), "particle file", file, name);
        // Font 0 is every element's default, and the player draws with font 1
        // when a game has none: only a font named on purpose must exist.
        bool fontMissing = !engine_.fonts.font(e.font) && (e.font != 0 || !engine_.fonts.drawingFont(0));
        if (elementShowsText(e) && fontMissing) {
            std::string font = std::string(kFontsFolder) + "/font_" + std::to_string(e.font) + ".font";
            if (firstReport(font + "@" + file))
                report_.error(file, sources_.lineOf(file, name), "missing font " + font);
        }
    }

    void sounds(const MScene& scene) {
        if (scene.sounds.empty() || !scene.folder)
            return;
        std::string list = std::string(scene.folder->text) + "/_sounds/_sounds.cfg";
        for (const MSceneSound* sound : scene.sounds)
            if (sound->file)
                missing(sound->file->path, "sound", list, sound->name->view());
    }

    // A sound variable that no sound list filled: a script mentions a
    // sound its scene does not have, and the sound commands ignore it.
    void scriptSounds(MScene& scene) {
        for (const VariableEntry* entry : scene.scope.list(KindSound)) {
            if (!entry->cell || !entry->cell->isNone() || entry->name->view().ends_with("[]"))
                continue;
            std::string word = std::string("*") + entry->name->text;
            auto [file, line] = scriptMentioning(scene, word);
            if (firstReport(word + "@" + scene.name->text))
                report_.error(file, line,
                              "sound " + word + " is in no sound list of " + scene.name->text);
        }
    }

    // The first script the run read that mentions word, the scene's own
    // script first.
    std::pair<std::string, int> scriptMentioning(const MScene& scene, const std::string& word) {
        std::string own = std::string(scene.folder->text) + "/" + scene.baseName->text + ".script";
        if (int line = sources_.lineOf(own, word))
            return {own, line};
        for (const std::string& file : lint_.readFiles)
            if (file.ends_with(".script"))
                if (int line = sources_.lineOf(file, word))
                    return {file, line};
        return {own, 1};
    }

    // Reported once, against the first file that names it: templates and
    // shared lists would otherwise repeat it for every scene.
    void missing(const std::string& path, const char* kind, const std::string& file, std::string_view needle) {
        lint_.namedFiles.insert(path);
        if (gameHasFile(path) || !firstReport(path))
            return;
        report_.error(file, sources_.lineOf(file, needle), std::string("missing ") + kind + " " + path);
    }

    bool firstReport(const std::string& key) { return reported_.insert(key).second; }

    // The element's name as its scene file writes it: instances carry
    // "owner$" in front.
    static std::string_view ownName(const MElement& e) {
        std::string_view name = e.name->view();
        size_t dollar = name.rfind('$');
        return dollar == std::string_view::npos ? name : name.substr(dollar + 1);
    }

    // data/hall/_hall_00.png is a page of data/hall/_hall.atlas.
    static std::string atlasFileOf(const std::string& page) {
        size_t underscore = page.rfind('_');
        return underscore == std::string::npos ? page : page.substr(0, underscore) + ".atlas";
    }

    LintContext& lint_;
    MEngine& engine_;
    LintSources& sources_;
    LintReport& report_;
    std::set<std::string> reported_;
};

} // namespace

std::string sceneFilePath(const MEngine& engine, const MScene& scene) {
    if (!scene.folder || !scene.baseName)
        return {};
    return std::string(scene.folder->text) + "/_" + scene.baseName->text + "." + engine.app.settings.sceneExt;
}

bool elementShowsText(const MElement& e) { return e.members.get(sym::text_key()) || e.members.get(sym::text()); }

void lintMissingFiles(LintContext& lint) {
    MissingFiles check(lint);
    for (MScene* scene : lint.engine.scenes.scenes())
        check.scene(*scene);
    check.atlasPages();
}

} // namespace glint
