#include "scene/scene_json.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/application.h"
#include "engine/system/log.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/group.h"
#include "scene/scene.h"
#include "scene/scene_element_keys.h"
#include "scene/scene_loader.h"
#include "script/symbol.h"

namespace glint {

namespace {

using Json = rapidjson::Value;

// Children nest through the "C" key; deeper trees are cut off rather than
// exhausting the stack.
constexpr int kMaxElementDepth = 256;

bool validNameChar(char c) {
    return c == '/' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A key written twice in one element applies the value of its first
// occurrence each time. The keys the reader knows have one or two
// characters, so the first occurrences fit a short list and an element with
// any number of keys is read in linear time.
class FirstValues {
public:
    const Json& of(const Json::Member& member) {
        std::string_view name(member.name.GetString(), member.name.GetStringLength());
        for (const auto& [seen, value] : seen_)
            if (seen == name)
                return *value;
        seen_.emplace_back(name, &member.value);
        return member.value;
    }

private:
    std::vector<std::pair<std::string_view, const Json*>> seen_;
};

class JsonSceneReader {
public:
    JsonSceneReader(MScene& scene, const SceneLoadContext& context) : scene_(scene), context_(context) {
        std::string_view suffix = context.languageSuffix;
        language_ = suffix.starts_with('_') ? suffix.substr(1) : suffix;
    }

    void readElements(const Json& object, MElement* parent, int depth) {
        if (!object.IsObject())
            return;
        if (depth > kMaxElementDepth) {
            debugTrace("ERROR: Elements nested too deeply in scene %s", scene_.name->text);
            return;
        }
        for (auto m = object.MemberBegin(); m != object.MemberEnd(); ++m)
            readElement(std::string_view(m->name.GetString(), m->name.GetStringLength()), m->value, parent, depth);
    }

    void readGroups(const Json& object) {
        if (!object.IsObject())
            return;
        for (auto m = object.MemberBegin(); m != object.MemberEnd(); ++m) {
            Symbol* name = intern(std::string_view(m->name.GetString(), m->name.GetStringLength()));
            MGroup* group = scene_.findGroup(name);
            if (!group)
                group = scene_.createGroup(name);
            if (!m->value.IsArray())
                continue;
            for (const Json& member : m->value.GetArray()) {
                if (!member.IsString())
                    continue;
                if (MElement* element = byName(std::string_view(member.GetString(), member.GetStringLength())))
                    group->elements.push_back(element);
            }
        }
    }

private:
    // The element's name proper, or null when this file's element is not
    // created: another language's, or an invalid name.
    Symbol* acceptedName(std::string_view name) {
        size_t hash = name.find('#');
        if (hash != std::string_view::npos) {
            if (name.substr(hash + 1) != language_ || language_.empty())
                return nullptr;
            name = name.substr(0, hash);
        }
        for (char c : name) {
            if (!validNameChar(c)) {
                debugTrace("ERROR: Invalid object name $%s:%s - character %c", scene_.name->text,
                           std::string(name).c_str(), c);
                return nullptr;
            }
        }
        return intern(name);
    }

    void readElement(std::string_view fileName, const Json& body, MElement* parent, int depth) {
        MElement* element = nullptr;
        if (Symbol* name = acceptedName(fileName)) {
            element = scene_.createElement(nullptr, name, false);
            if (element) {
                element->setParent(parent);
                names_.emplace(name, element);
            }
        }
        if (!body.IsObject())
            return;
        ElementKeyReader keys(scene_, context_, element);
        auto last = lastPolygonMember(body);
        FirstValues first;
        for (auto m = body.MemberBegin(); m != body.MemberEnd(); ++m) {
            ElementKey key = elementKeyOf(m->name.GetString(), m->name.GetStringLength());
            if (key == ElementKey::None)
                continue;
            if (key == ElementKey::Children) {
                readElements(m->value, element, depth + 1);
                continue;
            }
            if (element)
                keys.apply(key, first.of(*m), m->name.GetString(), m->name.GetStringLength());
            if (m == last)
                keys.finishPolygons();
        }
    }

    // The member whose reading completes the element's polygons.
    static Json::ConstMemberIterator lastPolygonMember(const Json& body) {
        Json::ConstMemberIterator last = body.MemberEnd();
        for (auto m = body.MemberBegin(); m != body.MemberEnd(); ++m) {
            ElementKey key = elementKeyOf(m->name.GetString(), m->name.GetStringLength());
            if (key == ElementKey::Hotspots || key == ElementKey::Exclusions)
                last = m;
        }
        return last;
    }

    MElement* byName(std::string_view name) {
        auto found = names_.find(intern(name));
        return found == names_.end() ? nullptr : found->second;
    }

    MScene& scene_;
    const SceneLoadContext& context_;
    std::string_view language_;
    // The first element of each name, for group members.
    std::unordered_map<Symbol*, MElement*> names_;
};

} // namespace

void parseJsonScene(MScene& scene, const SceneLoadContext& context, const char* text, size_t size) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(text, size);
    // Authors see broken files by their missing content; the message is
    // kept out of the trace.
    if (document.HasParseError() || !document.IsObject())
        return;
    JsonSceneReader reader(scene, context);
    auto elements = document.FindMember("elements");
    if (elements != document.MemberEnd())
        reader.readElements(elements->value, nullptr, 0);
    auto groups = document.FindMember("groups");
    if (groups != document.MemberEnd())
        reader.readGroups(groups->value);
}

} // namespace glint
