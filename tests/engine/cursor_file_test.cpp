// The cursor file reader over files ImageMagick writes: bitmap entries of
// every depth it produces and PNG entries, the choice among several
// images, and malformed files, which must be refused without reading
// outside the input (the sanitizer build checks that part).
#include "engine/cursor_fixtures.h"
#include "engine/window/cursor_file.h"

#include <gtest/gtest.h>

using namespace glint;
using namespace glint::test;

namespace {

bool read(const std::string& file, KCursorImage* image) { return readCursorFile(file.data(), file.size(), image); }

uint16_t bitsOfEntry(const std::string& file, int entry) {
    size_t image = imageAt(file, entry);
    return static_cast<uint8_t>(file[image + 14]) | static_cast<uint8_t>(file[image + 15]) << 8;
}

bool isPngEntry(const std::string& file, int entry) { return file.compare(imageAt(file, entry) + 1, 3, "PNG") == 0; }

// Colour and alpha of every pixel against the reference; pixels that are
// fully transparent only need to be transparent.
void expectPicture(const KCursorImage& image, const std::string& rgba) {
    ASSERT_EQ(rgba.size(), image.pixels.size() * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        auto channel = [&](int c) { return static_cast<uint32_t>(static_cast<uint8_t>(rgba[i * 4 + c])); };
        uint32_t alpha = channel(3);
        uint32_t expected = alpha << 24 | channel(0) << 16 | channel(1) << 8 | channel(2);
        uint32_t got = image.pixels[i];
        if (alpha == 0)
            ASSERT_EQ(got >> 24, 0u) << "pixel " << i;
        else
            ASSERT_EQ(got, expected) << "pixel " << i;
    }
}

struct EncodingCase {
    const char* name;
    const char* source; // written to source.png first when viaPng
    bool viaPng;
    int size;
    int bits; // 0: a PNG entry
};

// Failures name the case, not its bytes.
void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.name; }

class CursorFileEncodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(CursorFileEncodings, DecodesThePictureAndTheHotSpot) {
    const EncodingCase& c = GetParam();
    TempDir dir;
    std::string source = std::string("-size ") + std::to_string(c.size) + "x" + std::to_string(c.size) + " " + c.source;
    if (c.viaPng) {
        std::string png = (dir / "source.png").string();
        mustRun("convert " + source + " " + shellQuote(png));
        source = shellQuote(png);
    }
    CursorFixture fixture = makeCursor(dir, source);
    // The fixture must exercise the encoding the case is about.
    if (c.bits == 0)
        ASSERT_TRUE(isPngEntry(fixture.file, 0));
    else
        ASSERT_EQ(bitsOfEntry(fixture.file, 0), c.bits);
    setHotSpot(fixture.file, 0, 5, 11);

    KCursorImage image;
    ASSERT_TRUE(read(fixture.file, &image));
    EXPECT_EQ(image.width, c.size);
    EXPECT_EQ(image.height, c.size);
    EXPECT_EQ(image.hotX, 5);
    EXPECT_EQ(image.hotY, 11);
    expectPicture(image, fixture.rgba);
}

const EncodingCase kEncodings[] = {
    {"OneBit", "xc:red", true, 16, 1},
    {"FourBits", "gradient:red-blue -alpha off -colors 16", false, 16, 4},
    {"EightBits", "-seed 1 plasma:fractal -alpha off -colors 200", false, 16, 8},
    {"AlphaBits", "xc:none -fill blue -draw 'rectangle 0,0 15,3' -fill red -draw 'rectangle 0,4 7,15'", false, 16,
     32},
    {"OddWidth", "xc:none -fill blue -draw 'rectangle 0,0 10,3' -fill red -draw 'rectangle 0,4 7,20'", false, 21,
     32},
    {"Png", "gradient:red-blue", false, 256, 0},
};

INSTANTIATE_TEST_SUITE_P(ImageMagick, CursorFileEncodings, ::testing::ValuesIn(kEncodings),
                         [](const auto& info) { return std::string(info.param.name); });

// Old 32-bit cursors leave alpha at 0: the AND mask decides what shows.
TEST(CursorFile, ThirtyTwoBitsWithoutAlphaUseTheMask) {
    TempDir dir;
    CursorFixture fixture =
        makeCursor(dir, "-size 16x16 xc:none -fill blue -draw 'rectangle 0,0 15,3' -fill red -draw 'rectangle 0,4 7,15'");
    ASSERT_EQ(bitsOfEntry(fixture.file, 0), 32);
    size_t pixels = imageAt(fixture.file, 0) + 40;
    for (size_t i = 0; i < 16 * 16; ++i)
        fixture.file[pixels + i * 4 + 3] = 0;

    KCursorImage image;
    ASSERT_TRUE(read(fixture.file, &image));
    expectPicture(image, fixture.rgba);
}

// Where the mask lets the screen through but the colour is not black, the
// system would invert the screen; a colour cursor shows opaque black.
TEST(CursorFile, MaskedColourBecomesBlack) {
    TempDir dir;
    CursorFixture fixture = makeCursor(dir, "-size 16x16 gradient:red-blue -alpha off -colors 16");
    ASSERT_EQ(bitsOfEntry(fixture.file, 0), 4);
    // The mask is the last 16 rows of 4 bytes, bottom row first.
    size_t mask = fixture.file.size() - 16 * 4;
    fixture.file[mask] = static_cast<char>(0x80); // the bottom row's first pixel

    KCursorImage image;
    ASSERT_TRUE(read(fixture.file, &image));
    EXPECT_EQ(image.pixels[15 * 16], 0xFF000000u);
    EXPECT_EQ(image.pixels[15 * 16 + 1] >> 24, 0xFFu);
}

TEST(CursorFile, ChoosesTheLargestThenTheDeepestImage) {
    TempDir dir;
    std::string small4 = (dir / "small4.png").string(), small32 = (dir / "small32.png").string(),
                large = (dir / "large.png").string();
    mustRun("convert -size 16x16 gradient:red-blue -alpha off -colors 16 png8:" + shellQuote(small4));
    mustRun("convert -size 16x16 xc:none -fill red -draw 'rectangle 0,0 7,15' png32:" + shellQuote(small32));
    mustRun("convert -size 24x24 xc:none -fill blue -draw 'rectangle 3,3 20,20' png32:" + shellQuote(large));

    CursorFixture deepest = makeCursor(dir, shellQuote(small4) + " " + shellQuote(small32), shellQuote(small32));
    ASSERT_LT(bitsOfEntry(deepest.file, 0), bitsOfEntry(deepest.file, 1));
    setHotSpot(deepest.file, 0, 1, 1);
    setHotSpot(deepest.file, 1, 2, 3);
    KCursorImage image;
    ASSERT_TRUE(read(deepest.file, &image));
    EXPECT_EQ(image.hotX, 2);
    EXPECT_EQ(image.hotY, 3);
    expectPicture(image, deepest.rgba);

    CursorFixture largest =
        makeCursor(dir, shellQuote(small32) + " " + shellQuote(large) + " " + shellQuote(small4), shellQuote(large));
    ASSERT_TRUE(read(largest.file, &image));
    EXPECT_EQ(image.width, 24);
    expectPicture(image, largest.rgba);
}

// The 4-bit file that the damage cases start from, made once.
const CursorFixture& paletteCursor() {
    static TempDir dir;
    static const CursorFixture fixture = makeCursor(dir, "-size 16x16 gradient:red-blue -alpha off -colors 16");
    return fixture;
}

// Every shortened copy of a good file is refused, whatever part it cuts.
TEST(CursorFile, RefusesEveryTruncation) {
    TempDir dir;
    const CursorFixture& fixture = paletteCursor();
    KCursorImage image;
    ASSERT_TRUE(read(fixture.file, &image));
    for (size_t length = 0; length < fixture.file.size(); ++length) {
        std::string cut = fixture.file.substr(0, length);
        ASSERT_FALSE(read(cut, &image)) << "length " << length;
    }
    CursorFixture png = makeCursor(dir, "-size 256x256 gradient:red-blue");
    ASSERT_TRUE(read(png.file, &image));
    for (size_t length : {size_t{30}, size_t{80}, png.file.size() / 2, png.file.size() - 1})
        ASSERT_FALSE(read(png.file.substr(0, length), &image)) << "length " << length;
}

struct Damage {
    const char* what;
    void (*apply)(std::string& file);
};

void PrintTo(const Damage& c, std::ostream* out) { *out << c.what; }

class CursorFileDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(CursorFileDamage, IsRefusedAndLeavesTheOutputAlone) {
    CursorFixture fixture = paletteCursor();
    ASSERT_EQ(bitsOfEntry(fixture.file, 0), 4);
    GetParam().apply(fixture.file);
    KCursorImage image;
    image.width = 7;
    EXPECT_FALSE(read(fixture.file, &image));
    EXPECT_EQ(image.width, 7);
}

// Offsets into the one bitmap entry: its header starts at imageAt(file, 0).
void setHeader32(std::string& file, size_t field, uint32_t value) { putU32(file, imageAt(file, 0) + field, value); }
void setHeader16(std::string& file, size_t field, uint16_t value) { putU16(file, imageAt(file, 0) + field, value); }

const Damage kDamage[] = {
    {"IconType", [](std::string& f) { putU16(f, 2, 1); }},
    {"ReservedWord", [](std::string& f) { putU16(f, 0, 1); }},
    {"NoEntries", [](std::string& f) { putU16(f, 4, 0); }},
    {"MoreEntriesThanTheFile", [](std::string& f) { putU16(f, 4, 1000); }},
    {"OffsetPastTheEnd", [](std::string& f) { putU32(f, entryAt(0) + 12, static_cast<uint32_t>(f.size())); }},
    {"OffsetWrapsAround", [](std::string& f) { putU32(f, entryAt(0) + 12, 0xFFFFFFF0u); }},
    {"SizePastTheEnd", [](std::string& f) { putU32(f, entryAt(0) + 8, static_cast<uint32_t>(f.size())); }},
    {"EmptyImage", [](std::string& f) { putU32(f, entryAt(0) + 8, 0); }},
    {"HeaderSizeTooSmall", [](std::string& f) { setHeader32(f, 0, 12); }},
    {"HeaderSizeHuge", [](std::string& f) { setHeader32(f, 0, 0x7FFFFFFF); }},
    {"ZeroWidth", [](std::string& f) { setHeader32(f, 4, 0); }},
    {"NegativeWidth", [](std::string& f) { setHeader32(f, 4, 0xFFFFFFF0u); }},
    {"AbsurdWidth", [](std::string& f) { setHeader32(f, 4, 100000); }},
    {"AbsurdHeight", [](std::string& f) { setHeader32(f, 8, 0x7FFFFFFE); }},
    {"TopDownHeight", [](std::string& f) { setHeader32(f, 8, static_cast<uint32_t>(-32)); }},
    {"WiderThanTheData", [](std::string& f) { setHeader32(f, 4, 200); }},
    {"SixteenBits", [](std::string& f) { setHeader16(f, 14, 16); }},
    {"Compressed", [](std::string& f) { setHeader32(f, 16, 2); }},
    {"PaletteLargerThanTheDepth", [](std::string& f) { setHeader32(f, 32, 17); }},
    {"PaletteFillsTheFile", [](std::string& f) { setHeader16(f, 14, 8); }},
};

INSTANTIATE_TEST_SUITE_P(Malformed, CursorFileDamage, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(CursorFile, RefusesDamagedPngEntries) {
    TempDir dir;
    CursorFixture fixture = makeCursor(dir, "-size 256x256 gradient:red-blue");
    ASSERT_TRUE(isPngEntry(fixture.file, 0));
    size_t png = imageAt(fixture.file, 0);
    KCursorImage image;

    std::string tooLarge = fixture.file;
    tooLarge[png + 16 + 2] = 0x10; // width 0x1000 + 256 in the IHDR chunk
    EXPECT_FALSE(read(tooLarge, &image));

    std::string badData = fixture.file;
    for (size_t i = png + 60; i < badData.size(); ++i)
        badData[i] = static_cast<char>(0xA5);
    EXPECT_FALSE(read(badData, &image));

    EXPECT_FALSE(readCursorFile(nullptr, 100, &image));
    EXPECT_FALSE(readCursorFile(fixture.file.data(), fixture.file.size(), nullptr));
}

} // namespace
