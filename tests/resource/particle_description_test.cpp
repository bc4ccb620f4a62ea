// The ".particles" text: records with their defaults and units, numbers a
// hostile file cannot push out of bounds, and the written form.
#include "resource/particle_description.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace glint;

namespace {

ParticleDescription read(std::string text) {
    ParticleDescription d;
    readParticleDescription(d, text.data());
    return d;
}

std::vector<float> range(const ParticleRange& r) { return {r[0], r[1], r[2], r[3]}; }

struct RecordCase {
    const char* name;
    const char* text;
    std::function<void(const ParticleDescription&)> check;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class ParticleRecords : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ParticleRecords, SetTheirFields) {
    GetParam().check(read(GetParam().text));
}

using D = const ParticleDescription&;
INSTANTIATE_TEST_SUITE_P(
    Records, ParticleRecords,
    ::testing::Values(
        RecordCase{"TimesInSecondsBecomeTicks", "Q 0.5 1.25 2 3",
                   [](D d) {
                       EXPECT_EQ(d.startMin, 50);
                       EXPECT_EQ(d.startMax, 125);
                       EXPECT_EQ(d.emitTime, 200);
                       EXPECT_EQ(d.cycleTime, 300);
                   }},
        RecordCase{"TimesDefaultAndNegativeDelaysCountAsNone", "Q -5",
                   [](D d) {
                       EXPECT_EQ(d.startMin, 0);
                       EXPECT_EQ(d.startMax, 0);
                       EXPECT_EQ(d.emitTime, 100);
                       EXPECT_EQ(d.cycleTime, 0);
                   }},
        RecordCase{"OneRateIsBoth", "E 5", [](D d) { EXPECT_EQ(d.rateMin, 5); EXPECT_EQ(d.rateMax, 5); }},
        RecordCase{"AnEmptyCountIsNone", "C", [](D d) { EXPECT_EQ(d.countMin, 0); EXPECT_EQ(d.countMax, 0); }},
        RecordCase{"ExtentsDefaultToZero", "S 10\nT 4 2",
                   [](D d) {
                       EXPECT_EQ(d.sizeXFirst, 10);
                       EXPECT_EQ(d.sizeXSecond, 0);
                       EXPECT_EQ(d.sizeYSecond, 2);
                   }},
        RecordCase{"RangeHalvesAroundTheColon", "D 0 90 : 180 270\nX 4 : 8\nY 1 2 : 3\nN 7",
                   [](D d) {
                       EXPECT_EQ(range(d.direction), (std::vector<float>{0, 90, 180, 270}));
                       EXPECT_EQ(range(d.sizeX), (std::vector<float>{4, 4, 8, 8}));
                       EXPECT_EQ(range(d.sizeY), (std::vector<float>{1, 2, 3, 3}));
                       EXPECT_EQ(range(d.angle), (std::vector<float>{7, 7, 7, 7}));
                   }},
        RecordCase{"VelocityPerSecondAndWindScaled", "V 100 : 50\nW 30",
                   [](D d) {
                       EXPECT_FLOAT_EQ(d.velocity[0], 1);
                       EXPECT_FLOAT_EQ(d.velocity[3], 0.5f);
                       EXPECT_FLOAT_EQ(d.windX, 0.003f);
                       EXPECT_FLOAT_EQ(d.windY, 0.003f);
                   }},
        RecordCase{"LifeInSecondsAndColoursOver255", "L 1 2.5\nR 255 0\nA 51",
                   [](D d) {
                       EXPECT_EQ(d.lifeMin, 100);
                       EXPECT_EQ(d.lifeMax, 250);
                       EXPECT_FLOAT_EQ(d.red[0], 1);
                       EXPECT_FLOAT_EQ(d.red[1], 0);
                       EXPECT_FLOAT_EQ(d.alpha[1], 0.2f);
                   }},
        RecordCase{"FadesWithoutNumbersAreAFifth", "F", [](D d) { EXPECT_FLOAT_EQ(d.fadeIn, 0.2f); EXPECT_FLOAT_EQ(d.fadeOut, 0.2f); }},
        RecordCase{"NoFadeRecordKeepsAQuarter", "E 3", [](D d) { EXPECT_FLOAT_EQ(d.fadeIn, 0.25f); EXPECT_FLOAT_EQ(d.fadeOut, 0.25f); }},
        RecordCase{"OptionsTakeCapitalsOnly", "O A\nO b\nO ?\nO S",
                   [](D d) {
                       EXPECT_TRUE(d.option('A'));
                       EXPECT_FALSE(d.option('B'));
                       EXPECT_TRUE(d.option('S'));
                   }},
        RecordCase{"CommentsAndOtherLettersAreIgnored", "; E 7\nK 9\n  E 3 4",
                   [](D d) { EXPECT_EQ(d.rateMin, 3); EXPECT_EQ(d.rateMax, 4); }},
        RecordCase{"HugeNumbersStayWithinBounds",
                   "C 1000000000000000000000000000000000000000000000000\nL 99999999999\nD -99999999999999",
                   [](D d) {
                       EXPECT_EQ(d.countMin, kParticleValueLimit);
                       EXPECT_EQ(d.lifeMin, kParticleTickLimit);
                       EXPECT_EQ(d.direction[0], -kParticleValueLimit);
                   }}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(ParticleDescription, ReadingClearsTheOptionsAndKeepsOtherFields) {
    ParticleDescription d = read("E 4\nO B");
    std::string again = "L 2";
    readParticleDescription(d, again.data());
    EXPECT_FALSE(d.option('B'));
    EXPECT_EQ(d.rateMin, 4);
    EXPECT_EQ(d.lifeMin, 200);
}

TEST(ParticleDescription, TheImageRecordHandsOverTheRestOfItsLine) {
    std::string text = "E 2\r\n  I  spark.png 1 10\r\nE 3";
    std::vector<std::string> specs;
    ParticleDescription d;
    readParticleDescription(
        d, text.data(), [](void* user, const char* spec) { static_cast<std::vector<std::string>*>(user)->push_back(spec); },
        &specs);
    EXPECT_EQ(specs, std::vector<std::string>{"  spark.png 1 10"});
    EXPECT_EQ(d.rateMin, 3);
}

TEST(ParticleWriter, LeavesOutRepeatedValues) {
    ParticleDescription d = read("E 5\nC 1 3\nD 10 20 : 30 40\nX 10\nY 2 : 3 6\nN 1 2 : 5\nW 30 0\nF 0.5 0.5\nO A");
    const std::string text = writeParticleDescription(d, {});
    for (const char* line : {"\r\nE 5\r\n", "\r\nC 1 3\r\n", "\r\nD 10 20 : 30 40\r\n", "\r\nX 10\r\n",
                             "\r\nY 2 : 3 6\r\n", "\r\nN 1 2 : 5\r\n", "\r\nW 30 0\r\n", "\r\nF 0.5 0.5\r\n",
                             "\r\nO A\r\n", "\r\n;O B\r\n", "\r\nQ 0 0 1 0\r\n", "\r\nL 1\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    EXPECT_NE(text.find("; size x <min> <max> : <min> <max>\r\nX 10\r\n\r\n"), std::string::npos)
        << "each record follows its comment and precedes an empty line";
}

TEST(ParticleWriter, WritesWhatReadsBack) {
    std::string source = "Q 0.25 0.5 2 3\nE 5 20\nC 1 3\nZ 40\nH 1\nS 10 2\nT 8\nD 0 90 : 180 270\nV 50 : 100 150\n"
                         "W 30 -20\nL 1 2.5\nR 255 0\nG 128\nB 0 255\nA 255 0\nF 0.1 0.3\nX 4 8 : 1\nY 2 : 3 6\n"
                         "N 0 360\nO A\nO G";
    const ParticleDescription original = read(source);
    std::string written = writeParticleDescription(original, {"spark.png", 1, 10, 2, 0.5f, 0.25f, 1});
    EXPECT_EQ(written.rfind("; image", 0), 0u);
    EXPECT_NE(written.find("\r\nI spark.png 1 10.00 2 0.50 0.25 1.00\r\n"), std::string::npos) << written;
    const ParticleDescription back = read(written);
    EXPECT_EQ(writeParticleDescription(back, {}), writeParticleDescription(original, {}));
    EXPECT_EQ(range(back.velocity), range(original.velocity));
    EXPECT_TRUE(back.option('G'));
}

} // namespace
