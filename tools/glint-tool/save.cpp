// glint-tool save dump FILE: a player file (profile list, profile or game
// properties) as JSON on standard output, read without the game: names of
// scenes, elements and items stay names. A damaged file exits 1 with the
// byte offset of the first section whose check fails.
#include "command.h"

#include "game/profile_file.h"
#include "game/save_trace.h"
#include "game/save_values.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool save dump FILE";

std::string header(const SaveStream& s, const char* kind) {
    return "{\"format_version\":" + std::to_string(s.formatVersion) +
           ",\"data_version\":" + std::to_string(s.dataVersion) + ",\"kind\":\"" + kind + "\"";
}

// Each reading starts from a fresh stream over the same bytes.
bool openProbe(SaveStream& s, const std::vector<uint8_t>& bytes, const std::string& path) {
    if (s.openBytes(bytes, path) != kSaveOpened)
        return false;
    s.probe = true;
    return true;
}

bool dumpProfile(const std::vector<uint8_t>& bytes, const std::string& path, std::string& out, int64_t& broken) {
    SaveStream s;
    SaveTrace trace;
    if (!openProbe(s, bytes, path))
        return false;
    s.trace = &trace;
    trace.beginObject(nullptr);
    SaveWorld world;
    ProfileOffsets offsets;
    if (!readProfileContent(s, world, nullptr, true, nullptr, offsets)) {
        broken = s.failedSection();
        return false;
    }
    trace.endObject();
    // The trace is one object; its fields join the header's.
    out = header(s, "profile") + "," + trace.json.substr(1) + "\n";
    return true;
}

bool dumpList(const std::vector<uint8_t>& bytes, const std::string& path, std::string& out) {
    SaveStream s;
    SaveTrace trace;
    if (!openProbe(s, bytes, path))
        return false;
    s.trace = &trace;
    int32_t current = 0;
    Value names[kProfileSlots];
    if (!profileListRecord(s, current, names) || static_cast<size_t>(s.position()) != s.size())
        return false;
    std::string list;
    for (const Value& name : names)
        list += std::string(list.empty() ? "" : ",") +
                (name.isString() && name.symbol() ? SaveTrace::quote(name.symbol()->view()) : "null");
    out = header(s, "profile_list") + ",\"current_slot\":" + std::to_string(current) + ",\"names\":[" + list +
          "]}\n";
    return true;
}

bool dumpProperties(const std::vector<uint8_t>& bytes, const std::string& path, std::string& out) {
    SaveStream s;
    if (!openProbe(s, bytes, path))
        return false;
    std::vector<GamePropertyRecord> entries;
    if (!gamePropertiesRecord(s, entries) || static_cast<size_t>(s.position()) != s.size())
        return false;
    SaveTrace trace;
    trace.beginObject(nullptr);
    for (const GamePropertyRecord& entry : entries)
        trace.field(entry.key->view(),
                    entry.text ? SaveTrace::quote(entry.text->view()) : SaveTrace::number(entry.number));
    trace.endObject();
    out = header(s, "game_properties") + ",\"entries\":" + trace.json + "}\n";
    return true;
}

bool readAll(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + n > kMaxSaveFileSize) {
            std::fclose(file);
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(file);
    return true;
}

int runSave(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return 2;
    }
    const char* path = argv[2];
    std::vector<uint8_t> bytes;
    if (!readAll(path, bytes)) {
        std::fprintf(stderr, "glint-tool save: cannot read '%s'\n", path);
        return 1;
    }
    SaveStream head;
    if (head.openBytes(bytes, path) != kSaveOpened) {
        std::fprintf(stderr, "glint-tool save: '%s' is damaged: the section at byte %lld fails its check\n", path,
                     static_cast<long long>(head.failedSection() < 0 ? 0 : head.failedSection()));
        return 1;
    }
    std::string out;
    int64_t broken = -1;
    // A profile is known by the checkpoint after its first word; the other
    // two kinds have no checkpoint after the header and must end exactly
    // where their records end.
    if (dumpProfile(bytes, path, out, broken) || (broken <= 16 && (dumpList(bytes, path, out) ||
                                                                     dumpProperties(bytes, path, out)))) {
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    std::fprintf(stderr, "glint-tool save: '%s' is damaged: the section at byte %lld fails its check\n", path,
                 static_cast<long long>(broken < 0 ? 16 : broken));
    return 1;
}

} // namespace

GLINT_TOOL_COMMAND("save", kUsage, runSave);

} // namespace glint::tool
