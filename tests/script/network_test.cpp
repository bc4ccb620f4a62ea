// url_get and url_get_image against a server on 127.0.0.1 that the tests
// start: what reaches the callbacks, what is refused, and downloads still
// running when the game ends.
#include <chrono>

#include "local_http_server.h"
#include "script/collector.h"
#include "script_fixture.h"
#include "support/test_support.h"

using namespace glint;
using namespace glint::test;

namespace {

LocalHttpServer* server = nullptr;

// The server outlives every fixture: a download still running when a
// fixture's script system goes away must find it there.
class NetworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override { server = new LocalHttpServer(); }
    void TearDown() override {
        delete server;
        server = nullptr;
    }
};
const auto* environment = ::testing::AddGlobalTestEnvironment(new NetworkEnvironment);

std::string pictureFile(const std::string& spec, const std::string& format) {
    CommandResult made = runCommand("convert " + spec + " " + format + ":-");
    EXPECT_EQ(made.status, 0) << made.err;
    return made.out;
}

// An element that keeps the pictures downloaded for it.
struct PictureElement : ScriptElement {
    using ScriptElement::ScriptElement;
    void replacePicture(const KImageInfo& info, const uint32_t* pixels) override {
        width = info.width;
        height = info.height;
        first = pixels[0];
        last = pixels[size_t{info.width} * info.height - 1];
        ++replaced;
    }
    uint32_t width = 0, height = 0, first = 0, last = 0;
    int replaced = 0;
};

struct NetworkTest : ScriptFixture {
    // Each update waits for the transfers in flight, as a headless run does,
    // so a result arrives in the update after its request.
    NetworkTest() { system.downloads.waitForTransfers = true; }

    // A script whose init block runs statements, with the callbacks the
    // tests share: &ok, &bad and &picture record what they receive.
    void run(const std::string& statements) {
        load("fun ok %v %text {\n  set #ok_value %v\n  set #text %text\n}\n"
             "fun bad %v %code {\n  set #bad_value %v\n  set #code %code\n}\n"
             "fun picture %v %code %status {\n  set #picture_value %v\n  set #code %code\n  set #status %status\n}\n"
             "init {\n" +
             statements + "}\n");
    }
    static std::string quoted(const std::string& text) { return "\"" + text + "\""; }
    std::string url(const std::string& path) { return quoted(server->url(path)); }
    // An element of the scene that keeps its downloaded pictures.
    PictureElement* pictureElement(const char* name) {
        elements_.push_back(std::make_unique<PictureElement>(intern(name), &scene));
        ScriptElement* made = elements_.back().get();
        declareElementVariable(scene.scope, made->name,
                               scriptHeap().newCell(Value::fromPointer(ValueType::Element, made)));
        return static_cast<PictureElement*>(made);
    }
};

TEST_F(NetworkTest, TextDownloadsArriveIntactAsCallsOfTheNextUpdate) {
    server->serve("/news.txt", {200, "Neue Räume öffnen\nline two\n"});
    std::string longest(65535, 'x');
    longest.front() = '<';
    longest.back() = '>';
    server->serve("/longest.txt", {200, longest});
    run("  url_get " + url("/news.txt") + " &ok &bad 42\n"
        "  url_get " + url("/longest.txt") + " &keep ? 7\n"
        "}\nfun keep %v %text {\n  set #longest %text\n");
    EXPECT_TRUE(value("text").isNone()); // nothing arrives while the command runs
    update();
    EXPECT_EQ(text("text"), "Neue Räume öffnen\nline two\n");
    EXPECT_EQ(number("ok_value"), 42);
    Value got = value("longest"); // 65535 bytes still fit
    ASSERT_TRUE(got.isString());
    EXPECT_EQ(got.symbol()->length, 65535);
    EXPECT_TRUE(got.symbol()->view() == longest);
    EXPECT_TRUE(value("code").isNone());
    EXPECT_EQ(system.downloads.pendingCount(), 0u);
}

struct FailureCase {
    const char* name;
    std::string (*url)();
    int code; // what the failure function receives
};

// Failures name the case, not its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class DownloadFailureTest : public NetworkTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DownloadFailureTest, ReachesTheFailureFunctionWithTheTransferCode) {
    server->serve("/too_long.txt", {200, std::string(65536, 'y')});
    server->serve("/to_file", {302, "", false, "file:///etc/hostname"});
    run("  url_get " + quoted(GetParam().url()) + " &ok &bad 3\n");
    update();
    EXPECT_EQ(number("code"), GetParam().code) << traceText();
    EXPECT_EQ(number("bad_value"), 3);
    EXPECT_TRUE(value("text").isNone());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadFailureTest,
    ::testing::Values(
        // A status other than 200 is a failure of a transfer that worked.
        FailureCase{"NotFound", [] { return server->url("/missing.txt"); }, 0},
        FailureCase{"ClosedPort",
                    [] { return "http://127.0.0.1:" + std::to_string(LocalHttpServer::closedPort()) + "/x"; }, 7},
        // 65535 bytes and the zero byte fill the buffer: the transfer ends
        // with a write error.
        FailureCase{"LongerThanTheBuffer", [] { return server->url("/too_long.txt"); }, 23},
        // Scripts reach http and https only, never local files.
        FailureCase{"FileUrl", [] { return std::string("file:///etc/hostname"); }, 1},
        FailureCase{"RedirectToAFile", [] { return server->url("/to_file"); }, 1}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(NetworkTest, EmptyUrlsAndMissingCallbacksStartOrCallNothing) {
    server->serve("/quiet.txt", {200, "quiet"});
    run("  url_get \"\" &ok &bad 1\n"
        "  url_get " + url("/quiet.txt") + " 5 6 2\n"
        "  url_get " + url("/missing.txt") + " &ok ? 3\n");
    EXPECT_EQ(system.downloads.pendingCount(), 2u);
    update();
    EXPECT_EQ(system.downloads.pendingCount(), 0u);
    EXPECT_TRUE(value("ok_value").isNone());
    EXPECT_TRUE(value("bad_value").isNone());
}

// A method value made while the statement ran, and its instance, are held
// by nothing but the download: the collector must keep them until the
// result arrives.
TEST_F(NetworkTest, MethodCallbacksSurviveACollectionWhileInFlight) {
    server->serve("/greeting.txt", {200, "hello"});
    load("class inbox {\n  fun got %v %text {\n    set this.text %text\n    set #text this.text\n  }\n}\n"
         "class decoy {\n  fun got %v %text {\n    set #text decoy\n  }\n}\n"
         "fun send {\n  new %box -inbox\n  url_get " +
         url("/greeting.txt") + " %box.got ? 0\n}\n"
         "fun reuse {\n  new #other -decoy\n  set #method #other.got\n}\n"
         "init {\n  call &send\n}\n");
    Collector collector(system.heap);
    collector.clearMarks();
    collector.markSystem(system);
    collector.releaseUnmarked();
    call("reuse"); // takes whatever slots the collection freed
    update();
    EXPECT_EQ(text("text"), "hello") << traceText();
}

TEST_F(NetworkTest, ImageDownloadsReplaceTheElementsPicture) {
    // Red on top, blue below: rows arrive top down.
    server->serve("/photo.png", {200, pictureFile("-size 3x2 xc:red -fill blue -draw 'point 2,1'", "png")});
    // No known extension: tried as JPEG.
    server->serve("/avatar", {200, pictureFile("-size 8x8 xc:white", "jpg")});
    server->serve("/broken.png", {200, "<html>not a picture</html>"});
    PictureElement* photo = pictureElement("photo");
    PictureElement* avatar = pictureElement("avatar");

    run("  url_get_image " + url("/photo.png") + " $photo &picture 1\n");
    update();
    EXPECT_EQ(number("picture_value"), 1);
    EXPECT_EQ(number("code"), 0);
    EXPECT_EQ(number("status"), 200);
    EXPECT_EQ(photo->replaced, 1);
    EXPECT_EQ(photo->width, 3u);
    EXPECT_EQ(photo->height, 2u);
    EXPECT_EQ(photo->first, 0xFFFF0000u);
    EXPECT_EQ(photo->last, 0xFF0000FFu);

    struct Case {
        const char* path;
        double code, status;
        int replaced;
    };
    for (const Case& c : {Case{"/avatar", 0, 200, 1}, Case{"/broken.png", -1, 200, 0}, Case{"/gone.png", -1, 404, 0}}) {
        SCOPED_TRACE(c.path);
        int before = avatar->replaced;
        system.downloads.startImage(server->url(c.path).c_str(), avatar, *cell("picture", KindFunction), Value());
        update();
        EXPECT_EQ(number("code"), c.code);
        EXPECT_EQ(number("status"), c.status);
        EXPECT_EQ(avatar->replaced - before, c.replaced);
    }
    EXPECT_EQ(avatar->width, 8u);
}

TEST_F(NetworkTest, AnElementDeletedWhileItsPictureDownloadsIsLeftAlone) {
    server->serve("/late.png", {200, pictureFile("-size 2x2 xc:green", "png")});
    PictureElement* frame = pictureElement("frame");
    run("  url_get_image " + url("/late.png") + " $frame &picture 9\n");
    forgetElement(scene.scope, frame);
    update();
    EXPECT_EQ(frame->replaced, 0);
    EXPECT_EQ(number("code"), 0); // the script still learns how the download went
}

// Quitting (or restarting) destroys the script system with its downloads:
// transfers in flight end at once instead of waiting for a silent server,
// and nothing they would have delivered is touched afterwards.
TEST(DownloadShutdown, EndsTransfersInFlightWithoutWaiting) {
    server->serve("/silent.txt", {200, "", true});
    server->serve("/silent.png", {200, "", true});
    auto start = std::chrono::steady_clock::now();
    {
        ScriptDownloads downloads;
        ScriptElement element(intern("photo"), nullptr);
        downloads.startText(server->url("/silent.txt").c_str(), Value(), Value(), Value::fromNumber(1));
        downloads.startImage(server->url("/silent.png").c_str(), &element, Value(), Value::fromNumber(2));
        ASSERT_TRUE(server->waitForStalled(2));
    }
    EXPECT_TRUE(server->waitForStallsClosed(2));
    // Far below the transfers' own time limit.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(kDownloadTimeLimitSeconds / 3));
}

} // namespace
