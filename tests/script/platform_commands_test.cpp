// The desktop's answers to the platform services: fixed answers, event
// counters, alert records, opening a URL and copying into the documents.
#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "engine/resources/resource.h"
#include "script_fixture.h"
#include "support/test_support.h"

using namespace glint;
using namespace glint::test;

namespace {

TEST_F(ScriptFixture, DeviceQueriesGetTheDesktopsFixedAnswers) {
    load("init {\n"
         "  get_device_name #device\n  get_bundle_version #bundle\n"
         "  get_saved_photo_status #photos\n  check_connection #online\n"
         "  get_portrait_orientation #portrait\n  get_landscape_orientation #landscape\n"
         "  set #roll 5\n  get_device_roll #roll\n  get_device_pitch #pitch\n  get_device_yaw #yaw\n"
         "  set #kept 5\n  text_to_speech #kept en\n  save_to_camera_roll #kept\n"
         "}\n");
    EXPECT_EQ(text("device"), "Win");
    ASSERT_TRUE(value("bundle").isString());
    EXPECT_EQ(text("bundle"), "");
    for (const char* answer : {"photos", "online", "portrait", "landscape"}) EXPECT_EQ(number(answer), 1) << answer;
    for (const char* answer : {"roll", "pitch", "yaw"}) EXPECT_EQ(number(answer), 0) << answer;
    EXPECT_EQ(number("kept"), 5);
}

// The counters live as long as the process, so the test reads how much
// they moved.
TEST_F(ScriptFixture, EventCountersShareKindsFourAndSix) {
    load("fun read {\n"
         "  get_flurry_log_count 4 #four\n  get_flurry_log_count 5 #five\n  get_flurry_log_count 15 #fifteen\n"
         "}\n"
         "fun events {\n"
         "  log_event 4 x\n  log_event 6.2 x\n  log_event 5 x\n  log_event 12 x\n  log_event 15 x\n"
         "  log_event 15 x\n  log_event 3 x\n"
         "}\n"
         "fun others {\n"
         "  set #other 1\n  get_flurry_log_count 12 #other\n"
         "  set #zero 1\n  get_flurry_log_count 0 #zero\n  set #nokind 1\n  get_flurry_log_count ? #nokind\n"
         "}\n");
    call("read");
    double four = number("four"), five = number("five"), fifteen = number("fifteen");
    call("events");
    call("read");
    EXPECT_EQ(number("four") - four, 2); // 4 and 6 (6.2 rounds to 6)
    EXPECT_EQ(number("five") - five, 1);
    EXPECT_EQ(number("fifteen") - fifteen, 2);
    call("others");
    EXPECT_EQ(number("other"), 0); // kinds without a counter read 0
    EXPECT_TRUE(value("zero").isNone());
    EXPECT_TRUE(value("nokind").isNone());
}

TEST_F(ScriptFixture, AlertsAreQueuedWithNumbersAndButtons) {
    load("fun yes {\n}\n"
         "init {\n"
         "  show_alert rate_title rate_text rate_yes &yes rate_later ?\n"
         "  show_alert saved_title saved_text\n"
         "}\n");
    const auto& alerts = system.alerts.records();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].number, 1);
    EXPECT_EQ(alerts[1].number, 2);
    EXPECT_EQ(alerts[0].title, intern("rate_title"));
    EXPECT_EQ(alerts[0].message, intern("rate_text"));
    ASSERT_EQ(alerts[0].buttons.size(), 2u);
    EXPECT_EQ(alerts[0].buttons[0].label, intern("rate_yes"));
    EXPECT_EQ(alerts[0].buttons[0].function.pointer, function("yes"));
    EXPECT_EQ(alerts[0].buttons[1].label, intern("rate_later"));
    EXPECT_TRUE(alerts[0].buttons[1].function.isNone());
    EXPECT_TRUE(alerts[1].buttons.empty());
}

// Home and configuration folder for one test: the documents folder is the
// home folder when no user-dirs file names another.
class DocumentsTest : public ScriptFixture {
protected:
    DocumentsTest() {
        resourceInit(); // the source is read through the resource layer
        const char* home = std::getenv("HOME");
        oldHome_ = home ? home : "";
        documents = std::filesystem::path(root.str()) / "home";
        std::filesystem::create_directories(documents);
        setenv("HOME", documents.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    ~DocumentsTest() override {
        setenv("HOME", oldHome_.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    std::string save(const std::string& source, const std::string& destination) {
        return "  save_document_file \"" + source + "\" \"" + destination + "\"\n";
    }

    TempDir root;
    std::filesystem::path documents;

private:
    std::string oldHome_;
};

TEST_F(DocumentsTest, SaveDocumentFileCopiesOnlyBelowTheDocumentsFolder) {
    std::string source = (root / "picture.png").string();
    writeFile(source, std::string("\x89PNG\0\x01 body", 11));
    writeFile(documents / "old.txt", "an older and longer document");
    load("init {\n" + save(source, "shots/2024/picture.png") + save(source, "notes\\copy.png") +
         save(source, "old.txt") + save(source, "../outside.png") + save(source, "shots/../../outside2.png") +
         save(source, "shots/") + save((root / "missing.png").string(), "missing.png") + "}\n");
    EXPECT_EQ(readFile(documents / "shots/2024/picture.png"), std::string("\x89PNG\0\x01 body", 11));
    EXPECT_EQ(readFile(documents / "notes/copy.png"), std::string("\x89PNG\0\x01 body", 11));
    EXPECT_EQ(readFile(documents / "old.txt"), std::string("\x89PNG\0\x01 body", 11)); // replaced whole
    EXPECT_FALSE(std::filesystem::exists(root / "outside.png"));
    EXPECT_FALSE(std::filesystem::exists(root / "outside2.png"));
    EXPECT_FALSE(std::filesystem::exists(documents / "missing.png"));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(documents))
        if (entry.is_regular_file())
            left.push_back(entry.path().lexically_relative(documents).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"notes/copy.png", "old.txt", "shots/2024/picture.png"}));
}

// The desktop's handler is whatever xdg-open the PATH finds first.
TEST_F(ScriptFixture, OpenUrlHandsTheUrlToTheDesktopsHandler) {
    TempDir bin;
    std::string record = (bin / "opened.txt").string();
    writeFile(bin / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + ".part' && mv '" + record + ".part' '" +
                                    record + "'\n");
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    std::string oldPath = std::getenv("PATH");
    setenv("PATH", (bin.str() + ":" + oldPath).c_str(), 1);
    load("init {\n  open_url \"\"\n  open_url \"https://example.org/help?page=2\"\n}\n");
    setenv("PATH", oldPath.c_str(), 1);
    // The handler runs on its own; give it a few seconds.
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(record), "https://example.org/help?page=2");
}

} // namespace
