// Letter-coded scene files: the same scene written in both forms loads to
// the same elements, the records' own rules, requests and parent links,
// malformed lines, and the conversion to JSON.
#include <iomanip>
#include <sstream>

#include "loader_fixture.h"
#include "resource/texture.h"
#include "scene/letter_scene.h"
#include "scene/scene_limits.h"
#include "support/test_support.h"

using namespace glint;
using namespace glint::test;

namespace {

// Everything a loaded element carries, as text, so that two loads can be
// compared whole.
std::string describe(const MScene* scene) {
    std::ostringstream out;
    out << std::setprecision(9);
    for (const MElement* e : scene->elements) {
        const MElementVisual& v = *e->visual;
        out << e->name->text << " parent=" << (e->parent ? e->parent->name->text : "-") << " ch=";
        for (float c : e->channels) out << c << ",";
        out << " pivot=" << e->pivotX << "," << e->pivotY << " blend=" << int(e->blendMode) << " font="
            << int(e->font) << " align=" << int(e->textAlign) << " colour=" << int(e->textColor[0]) << ","
            << int(e->textColor[1]) << "," << int(e->textColor[2]) << " flags=" << e->flags;
        if (Value* key = e->members.get(sym::text_key())) out << " key=" << key->symbol()->text;
        out << "\n  kind=" << v.kindFlags << " size=" << v.width << "x" << v.height << " hint=" << v.hintOffsetX
            << "," << v.hintOffsetY << " wave=" << int(v.waveColumns) << "," << v.waveSpeedX << ","
            << v.waveAmountX << "," << int(v.waveRows) << "," << v.waveSpeedY << "," << v.waveAmountY
            << " time=" << v.startTime << "," << v.loopTime << " area=" << v.hotspotArea << "/"
            << int(v.areaPolygonCount);
        const MImageAnim& image = v.image;
        out << "\n  image=" << (image.texture ? image.texture->path : "-") << " " << int(image.columns) << "x"
            << int(image.rows) << " first=" << int(image.firstFrame) << " fps=" << image.fps
            << " delay=" << image.delay;
        for (const MHotspotPolygon& polygon : v.polygons) {
            out << "\n  polygon " << int(polygon.kind) << ":";
            for (const PolygonPoint& p : polygon.points) out << " " << p.x << "," << p.y;
        }
        if (v.tracks) {
            for (size_t c = 0; c < v.tracks->size(); ++c) {
                const MKeyTrack& t = (*v.tracks)[c];
                if (!t.count()) continue;
                out << "\n  track " << c << ":";
                for (int k = 0; k < t.count(); ++k) out << " " << t.times[k] << "=" << t.values[k];
            }
        }
        out << "\n";
    }
    for (const MGroup* g : scene->groups) {
        out << "group " << g->name->text << ":";
        for (const ScriptElement* member : g->elements) out << " " << member->name->text;
        out << "\n";
    }
    return out.str();
}

// One scene in the letter-coded form and its JSON twin.
const char* const kLetterRoom = "V 1\n"
                                "O bg\n"
                                "I bg.png 0\n"
                                "D 320 240\n"
                                "Z 1\n"
                                "K 10\n"
                                ".\n"
                                "O lamp\n"
                                "I data/common/lamp.png 2 12.5 3 0.4 0.25 0.5\n"
                                "F 0 0 1 0 1\n"
                                "D 120 80 0 1\n"
                                "G 2 1 10 20 300 1\n"
                                "t lamp_text\n"
                                "T 4 2 3 300 5 6 1 0 1 1\n"
                                "X 2\n"
                                "K 0 10\n"
                                "K 200 50\n"
                                "R 1\n"
                                "K 50\n"
                                "b 1\n"
                                "K 51\n"
                                "B 2\n"
                                "K -150 0\n"
                                "K 0 100\n"
                                ".\n"
                                "O box*2\n"
                                "q 2\n"
                                "Q 4\n"
                                "u 0\nv 0\nu 10\nv 0\nu 10\nv 10\nu 0\nv 10\n"
                                "Q 3 1\n"
                                "u 4\nv 4\nu 6\nv 4\nu 5\nv 6\n"
                                "W 1.5 -2\n"
                                "i 3\n"
                                ".\n"
                                "O camera\n"
                                "D 0 0\n"
                                ".\n"
                                "C things\n"
                                "c lamp\n"
                                "c box_02\n"
                                "p 3 2\n";

const char* const kJsonRoom = R"({"elements": {
    "bg": {"I": ["bg.png", 0], "D": [320, 240], "Z": 10},
    "lamp": {"I": ["data/common/lamp.png", 2, 12.5, 3, 40, 0.25, 0.5], "F": "0,0,1,0,1", "D": [120, 80, 0, 1],
             "T": [2, 1, 10, 20, 300, 1], "Tk": "lamp_text", "S": [4, 2, 3, 300, 5, 6, 1, 0, 1, 1],
             "X": [[0, 10], [200, 50]], "Sx": 50, "B": 51, "A": [[-150, 0], [0, 1]],
             "C": {
                 "box_01": {"Hs": [[[0, 0], [10, 0], [10, 10], [0, 10]]], "As": [[[4, 4], [6, 4], [5, 6]]],
                            "Hh": [1.5, -2], "i": 3},
                 "box_02": {"Hs": [[[0, 0], [10, 0], [10, 10], [0, 10]]], "As": [[[4, 4], [6, 4], [5, 6]]],
                            "Hh": [1.5, -2]}}},
    "camera": {"D": [0, 0]}},
    "groups": {"things": ["lamp", "box_02"]}})";

struct LetterLoader : LoaderFixture {
    // Loads the scene room from text, in the letter-coded form or JSON.
    std::string loadRoom(const std::string& text, bool json) {
        sceneFile("data/s/room", text);
        registerScenes("data/s/room\n", json);
        MScene* room = load("room");
        return room ? describe(room) : "no scene";
    }
};

TEST_F(LetterLoader, TheSameSceneInBothFormsLoadsToTheSameElements) {
    increment = 2;
    std::string json = loadRoom(kJsonRoom, true);
    std::string letter = loadRoom(kLetterRoom, false);
    EXPECT_EQ(letter, json);
    // The comparison is worth something only if the scene has content.
    EXPECT_NE(letter.find("box_02 parent=lamp"), std::string::npos) << letter;
    EXPECT_NE(letter.find("image=data/common/lamp.png 4x2 first=3 fps=12.5 delay=40"), std::string::npos);
    EXPECT_NE(letter.find("group things: lamp box_02"), std::string::npos);
}

TEST_F(LetterLoader, ObjectNamesMakeCopiesFollowTheLanguageAndRejectBadCharacters) {
    suffix = "_en";
    loadRoom("O box*3\n.\nO none*0\n.\nO door#en\n.\nO door#fr\n.\nO a+b\n.\nO bad name\n.\nO ok/Name_2\n.\n",
             false);
    MScene* room = scene("room");
    EXPECT_EQ(elementNames(room), "box_01 box_02 box_03 door ok/Name_2");
    EXPECT_EQ(element(room, "box_02")->visual, element(room, "box_01")->visual) << "copies share the visual";
    EXPECT_TRUE(trace.contains("ERROR: Invalid object name $room:bad name - character  "));
}

TEST_F(LetterLoader, CopiesStopAtTheElementLimit) {
    loadRoom("O box*40000\n.\nO after\n.\n", false);
    MScene* room = scene("room");
    EXPECT_EQ(room->elements.size(), static_cast<size_t>(kMaxSceneElements));
    EXPECT_EQ(element(room, "after"), nullptr);
    EXPECT_TRUE(trace.contains("Too much elements in scene room"));
}

TEST_F(LetterLoader, KeysScaleWithTheVersionAndRestOnWholePixels) {
    loadRoom("V 1\nO s\nS 2\nK 0 50\nK 100 100\n.\n"
             "O x\nX 2\nK 0 10.4\nK 100 20\n.\n"
             "O pre\nK -30 1\nK 70 1\nZ 1\nK 5\n.\n",
             false);
    MScene* room = scene("room");
    MElement* s = element(room, "s");
    EXPECT_FLOAT_EQ(s->channels[kChannelScaleY], 0.5f);
    EXPECT_EQ(s->visual->track(kChannelScaleY).values, (std::vector<float>{0.5f, 1.0f}));
    EXPECT_FLOAT_EQ(s->visual->loopTime, 1.0f);

    MElement* x = element(room, "x");
    EXPECT_FLOAT_EQ(x->channels[kChannelX], 10.0f) << "the resting position is moved onto a whole pixel";
    EXPECT_NEAR(x->visual->track(kChannelX).values[1], 19.6f, 1e-5) << "and the whole track with it";

    MElement* pre = element(room, "pre");
    EXPECT_FLOAT_EQ(pre->visual->startTime, 0.3f) << "keys before any channel still time the object";
    EXPECT_FLOAT_EQ(pre->visual->loopTime, 0.7f);
    EXPECT_FLOAT_EQ(pre->channels[kChannelZ], 5) << "a single key sets the channel without a track";
    EXPECT_EQ(pre->visual->tracks, nullptr);
}

TEST_F(LetterLoader, TooManyKeysAreReportedAndTheTrackHoldsTheLimit) {
    std::string keys = "O busy\nY 20000\n";
    for (int i = 0; i <= kMaxTrackKeys; ++i) keys += "K " + std::to_string(i) + " 1\n";
    loadRoom(keys + ".\n", false);
    EXPECT_TRUE(trace.contains("Too much animation keys!"));
    MElement* busy = element(scene("room"), "busy");
    EXPECT_EQ(busy->visual->track(kChannelY).count(), kMaxTrackKeys);
    EXPECT_FLOAT_EQ(busy->visual->loopTime, kMaxTrackKeys / 100.0f) << "the key beyond the track still times it";
}

TEST_F(LetterLoader, PolygonsFinishWhenTheLastDeclaredOneIsComplete) {
    increment = 1;
    loadRoom("O short\nq 2\nQ 2\nQ 3\nu 0\nv 0\nu 4\nv 0\nu 0\nv 4\n.\n"
             "O late\nq 2\nQ 3\nu 0\nv 0\nu 4\nv 0\nu 0\nv 4\nQ 1\n.\n"
             "O open\nq 1\nQ 4\nu 0\nv 0\nu 4\nv 0\nW 3 4\n.\n"
             "O many\nq 500\nQ 900\n.\n",
             false);
    MScene* room = scene("room");
    const MElementVisual& shortOne = *element(room, "short")->visual;
    ASSERT_EQ(shortOne.polygonCount(), 1) << "a polygon of two points lowers the declared count";
    EXPECT_GT(shortOne.polygons[0].area, 8.0f) << "finished: grown by the increment and measured";
    EXPECT_EQ(shortOne.polygons[0].points.back().x, shortOne.polygons[0].points.front().x) << "closed";
    EXPECT_GT(element(room, "late")->visual->polygons[0].area, 8.0f)
        << "a short polygon after the others also completes the declared set";

    const MElementVisual& open = *element(room, "open")->visual;
    ASSERT_EQ(open.polygonCount(), 1);
    EXPECT_EQ(open.polygons[0].count(), 4) << "points not given stay at zero";
    EXPECT_FLOAT_EQ(open.polygons[0].area, 0) << "an incomplete set is not finished";
    EXPECT_EQ(open.hintOffsetX, 48);
    EXPECT_EQ(open.hintOffsetY, 64);
    EXPECT_EQ(element(room, "many")->visual->polygons[0].count(), kMaxPolygonPoints);
}

TEST_F(LetterLoader, ParentLinksCountPositionsAndPairCopies) {
    // Positions that name no element, the largest a file can write among
    // them, are left alone.
    loadRoom("O a*3\n.\nO b*2\n.\nO c\n.\np 1 4\np 9 1\np 0 1\np 6 6\np 6 5\np 5 6\np 2147483648 1\np 1 -2147483648\n",
             false);
    MScene* room = scene("room");
    auto parentOf = [&](const char* name) {
        MElement* p = element(room, name)->parent;
        return std::string(p ? p->name->text : "-");
    };
    EXPECT_EQ(parentOf("a_01"), "b_01");
    EXPECT_EQ(parentOf("a_02"), "b_02") << "the parent's copy of the same number";
    EXPECT_EQ(parentOf("a_03"), "b_01") << "the parent has no third copy";
    EXPECT_EQ(parentOf("b_02"), "c");
    EXPECT_EQ(parentOf("c"), "-") << "a link that would close a loop detaches the old parent";

    // One line chains 300 copies each under the one before: the link that
    // would put one 257 levels down is refused.
    loadRoom("O d*300\n.\np 2 1\n", false);
    room = scene("room");
    EXPECT_EQ(parentOf("d_257"), "d_256");
    EXPECT_EQ(parentOf("d_258"), "-");
    EXPECT_EQ(parentOf("d_300"), "d_299");
    EXPECT_TRUE(trace.contains("ERROR: Elements nested too deeply in scene room"));
}

TEST_F(LetterLoader, LinesWithoutBreakOrLetterAndOverlongArgumentsAreHandled) {
    std::string longName(400, 'n');
    loadRoom("\r\n   \t\nO kept\r\nZ 1\r\nK 3\r\n?? ignored\n.\nO " + longName + "\n.\nO lost", false);
    MScene* room = scene("room");
    EXPECT_FLOAT_EQ(element(room, "kept")->channels[kChannelZ], 3);
    EXPECT_NE(element(room, std::string(kMaxLetterArgument, 'n').c_str()), nullptr) << "cut at 255 characters";
    EXPECT_EQ(element(room, "lost"), nullptr) << "a last line without its line break is not read";
}

TEST_F(LetterLoader, ObjectsAskForSubScenesAndInstances) {
    sceneFile("data/s/attic", "O beam\n.\n");
    sceneFile("data/s/chest", "O lid\n.\n");
    sceneFile("data/s/room", "O root\n.\nO +attic\n.\nO slot:+chest\n.\nO gone:+nowhere\n.\n");
    registerScenes("data/s/room\ndata/s/attic\ndata/s/chest\n", false);
    MScene* room = load("room");
    EXPECT_EQ(elementNames(room), "root attic slot gone beam slot$lid");
    EXPECT_EQ(element(room, "beam")->parent, element(room, "root"));
    EXPECT_EQ(element(room, "slot$lid")->parent, element(room, "slot"));
    EXPECT_TRUE(trace.contains("ERROR: Scene 'nowhere' does not exist!"));
}

TEST_F(LetterLoader, ConvertedScenesLoadToTheSameElements) {
    increment = 2;
    std::string letter = loadRoom(kLetterRoom, false);
    TempDir out;
    writeFile(out / "_room.scene", std::string(kLetterRoom) + "O +attic\n.\nO slot:+chest\n.\n");
    CommandResult result = runCommand(shellQuote(toolPath()) + " scene convert " +
                                      shellQuote((out / "_room.scene").string()) + " " +
                                      shellQuote((out / "room.json").string()));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "scene:root=attic\ninstance:slot=chest\n");
    EXPECT_EQ(result.err, "");
    std::string json = readFile(out / "room.json");
    std::string converted = loadRoom(json, true);
    // The requests' elements come after the twin's own.
    EXPECT_EQ(converted.substr(0, letter.find("group ")), letter.substr(0, letter.find("group "))) << json;

    EXPECT_EQ(runCommand(shellQuote(toolPath()) + " scene convert /nonexistent/_x.scene " +
                         shellQuote((out / "x.json").string()))
                  .status,
              1);
    EXPECT_EQ(runCommand(shellQuote(toolPath()) + " scene convert").status, 2);
}

} // namespace
