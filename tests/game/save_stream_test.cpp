// The save stream: scrambling, check values, the header, varints, and the
// value records written and read back through a script system.
#include "script/script_fixture.h"

#include "game/save_stream.h"
#include "game/save_values.h"
#include "script/array_object.h"
#include "script/heap.h"

#include <cstring>

using namespace glint;
using namespace glint::test;

namespace {

// The plain bytes from offset at to the end.
std::vector<uint8_t> plainBytes(const SaveStream& s, size_t at) {
    std::vector<uint8_t> plain;
    for (size_t i = at; i < s.size(); ++i) plain.push_back(unscrambleByte(s.bytes()[i], static_cast<uint32_t>(i)));
    return plain;
}

TEST(SaveStreamTest, ScramblingAndCheckValuesMatchHandComputedBytes) {
    EXPECT_EQ(scrambleByte(0x00, 0), 0x2B);
    EXPECT_EQ(scrambleByte(0x41, 1), 0x6A);
    // The same plain byte lands differently at another offset, and reading
    // with the writer's offsets restores every byte.
    EXPECT_NE(scrambleByte(0x41, 1), scrambleByte(0x41, 2));
    for (uint32_t offset : {0u, 1u, 77u, 65536u, 0xFFFFFFFFu})
        for (int c = 0; c < 256; ++c)
            ASSERT_EQ(unscrambleByte(scrambleByte(static_cast<uint8_t>(c), offset), offset), c);
    uint32_t check = 0;
    for (char c : std::string("abc")) check = nextCheckValue(check, static_cast<uint8_t>(c));
    EXPECT_EQ(check, 0x67266726u);
}

TEST(SaveStreamTest, HeaderCarriesVersionsAndChecksItself) {
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    ASSERT_EQ(out.size(), 16u);
    std::vector<uint8_t> plain = plainBytes(out, 8);
    EXPECT_EQ(std::vector<uint8_t>(plain.begin(), plain.begin() + 4), (std::vector<uint8_t>{0x72, 0, 0x72, 0}));
    EXPECT_EQ(out.checkValue, 16u);

    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    EXPECT_EQ(in.formatVersion, 114);
    EXPECT_EQ(in.dataVersion, 114);
    EXPECT_EQ(in.checkValue, 16u);

    // Two different random words fail even with a matching checkpoint.
    SaveStream odd;
    ASSERT_TRUE(odd.beginWrite("", 114));
    odd.seek(0);
    odd.checkValue = 0;
    int32_t one = 1, two = 2, version = 0x00720072;
    ASSERT_TRUE(odd.wordField(one) && odd.wordField(two) && odd.wordField(version) && odd.checkpoint());
    SaveStream rejected;
    EXPECT_EQ(rejected.openBytes(odd.bytes()), kSaveDamaged);

    // A version word of one half gives both versions.
    SaveStream old;
    ASSERT_TRUE(old.beginWrite("", 114));
    old.seek(0);
    old.checkValue = 0;
    version = 100;
    ASSERT_TRUE(old.wordField(one) && old.wordField(one) && old.wordField(version) && old.checkpoint());
    SaveStream oldIn;
    ASSERT_EQ(oldIn.openBytes(old.bytes()), kSaveOpened);
    EXPECT_EQ(oldIn.formatVersion, 100);
    EXPECT_EQ(oldIn.dataVersion, 100);
    SaveStream missing;
    EXPECT_EQ(missing.openRead("/nonexistent/folder/x.sav"), kSaveMissing);
}

struct VarintCase {
    const char* name;
    int32_t value;
    std::vector<uint8_t> plain;
};

// Failures name the case, not its bytes.
void PrintTo(const VarintCase& c, std::ostream* out) { *out << c.name; }

class SaveVarintTest : public ::testing::TestWithParam<VarintCase> {};

TEST_P(SaveVarintTest, EncodesAndDecodes) {
    const VarintCase& c = GetParam();
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    int32_t v = c.value;
    ASSERT_TRUE(out.intField(v));
    EXPECT_EQ(plainBytes(out, 16), c.plain);
    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    int32_t back = 12345;
    ASSERT_TRUE(in.intField(back));
    EXPECT_EQ(back, c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, SaveVarintTest,
                         ::testing::Values(VarintCase{"zero", 0, {0x80}}, VarintCase{"one", 1, {0x81}},
                                           VarintCase{"largest_single", 63, {0xBF}},
                                           VarintCase{"sixty_four", 64, {0x40, 0x80}},
                                           VarintCase{"minus_one", -1, {0xFF}},
                                           VarintCase{"smallest_single", -64, {0xC0}},
                                           VarintCase{"minus_65", -65, {0x3F, 0xFF}},
                                           VarintCase{"three_hundred", 300, {0x2C, 0x82}},
                                           VarintCase{"version", 114, {0x72, 0x80}},
                                           VarintCase{"int_max", INT32_MAX, {0x7F, 0x7F, 0x7F, 0x7F, 0x87}},
                                           VarintCase{"int_min", INT32_MIN, {0x00, 0x00, 0x00, 0x00, 0xF8}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveStreamTest, BoundsAndOldIntsFail) {
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    std::vector<char> big(kMaxSaveBlock + 1, 'x');
    EXPECT_FALSE(out.blockField(big.data(), kMaxSaveBlock + 1));
    EXPECT_TRUE(out.failed());

    // A name longer than a block, an int of six bytes, and the end of the
    // buffer all fail reading.
    SaveStream names;
    ASSERT_TRUE(names.beginWrite("", 114));
    int32_t length = kMaxSaveBlock + 1;
    ASSERT_TRUE(names.intField(length));
    SaveStream in;
    ASSERT_EQ(in.openBytes(names.bytes()), kSaveOpened);
    Symbol* name = nullptr;
    EXPECT_FALSE(in.nameField(name));
    EXPECT_EQ(in.failedSection(), 16);

    SaveStream runaway;
    ASSERT_TRUE(runaway.beginWrite("", 114));
    uint8_t seven = 7;
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(runaway.byteField(seven));
    SaveStream runawayIn;
    ASSERT_EQ(runawayIn.openBytes(runaway.bytes()), kSaveOpened);
    int32_t v = 0;
    EXPECT_FALSE(runawayIn.intField(v));
    EXPECT_FALSE(runawayIn.intField(v)) << "a failed stream stays failed";

    // Before format version 111 an int is a plain word.
    SaveStream words;
    ASSERT_TRUE(words.beginWrite("", 114));
    words.formatVersion = 110;
    v = 300;
    ASSERT_TRUE(words.intField(v));
    EXPECT_EQ(plainBytes(words, 16), (std::vector<uint8_t>{0x2C, 0x01, 0, 0}));
}

// Every single-byte change of a file with several sections is found.
TEST(SaveStreamTest, EverySingleByteChangeIsDetected) {
    auto walk = [](SaveStream& s) {
        int32_t a = 5, b = -70000;
        double d = 2.5;
        Symbol* name = intern("lamp");
        return s.intField(a) && s.checkpoint() && s.intField(b) && s.doubleField(d) && s.nameField(name) &&
               s.checkpoint();
    };
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    ASSERT_TRUE(walk(out));
    for (size_t i = 0; i < out.size(); ++i) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bytes = out.bytes();
            bytes[i] ^= flip;
            SaveStream in;
            bool ok = in.openBytes(bytes) == kSaveOpened && walk(in);
            EXPECT_FALSE(ok) << "byte " << i << " xor " << int(flip);
        }
    }
}

// --- value records ---------------------------------------------------------

struct SaveValueTest : ScriptFixture {
    // Writes with write, then reads the bytes back with read.
    template <class W, class R> void roundTrip(W write, R read, bool probe = false) {
        SaveStream out;
        ASSERT_TRUE(out.beginWrite("", 114));
        ASSERT_TRUE(write(out));
        ASSERT_TRUE(out.checkpoint());
        SaveStream in;
        ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
        in.probe = probe;
        ASSERT_TRUE(read(in));
        ASSERT_TRUE(in.checkpoint());
        ASSERT_EQ(static_cast<size_t>(in.position()), in.size());
    }
    Value roundTripValue(Value v) {
        Value back;
        roundTrip([&](SaveStream& s) { return valueRecord(s, v); }, [&](SaveStream& s) { return valueRecord(s, back); });
        return back;
    }
};

TEST_F(SaveValueTest, ValuesAndReferencesComeBack) {
    ScriptElement* lamp = element("lamp");
    load("fun greet {\n}\ntask look hand $lamp ? {\n}\nclass box {\n}\n"
         "init {\n  set #x 1\n}\n");
    Value* fn = cell("greet", KindFunction);
    Value* task = cell("look", KindTask);
    Value* klass = cell("box", KindClass);
    ASSERT_TRUE(fn && task && klass);
    const std::vector<Value> values = {
        Value(),
        Value::fromNumber(-2.75),
        Value::fromSymbol(intern("hello")),
        Value::fromSymbol(intern("")),
        Value::fromPointer(ValueType::Element, lamp),
        Value::fromPointer(ValueType::Scene, &scene),
        *fn,
        *task,
        *klass,
        Value::fromPointer(ValueType::Element, nullptr),
    };
    for (const Value& v : values) {
        Value back = roundTripValue(v);
        EXPECT_EQ(back.type(), v.type()) << valueText(v);
        EXPECT_EQ(back.bits, v.bits) << valueText(v);
        EXPECT_FALSE(back.unchanged());
    }
    // Type 65 reads as a string in every version.
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    uint8_t code = 65;
    Symbol* text = intern("old");
    ASSERT_TRUE(out.byteField(code) && out.nameField(text));
    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    Value read;
    ASSERT_TRUE(valueRecord(in, read));
    EXPECT_EQ(read.symbol(), text);
}

TEST_F(SaveValueTest, NamesThatFindNothingAndProbesGiveNull) {
    load("");
    ScriptElement* lamp = element("lamp");
    Value v = Value::fromPointer(ValueType::Element, lamp);
    Value back = Value::fromNumber(1);
    roundTrip([&](SaveStream& s) { return valueRecord(s, v); }, [&](SaveStream& s) { return valueRecord(s, back); },
              true);
    EXPECT_TRUE(back.is(ValueType::Element));
    EXPECT_EQ(back.pointer, nullptr);

    ScriptScene other(intern("elsewhere"));
    ScriptElement stranger(intern("ghost"), &other);
    Value gone = Value::fromPointer(ValueType::Element, &stranger);
    back = roundTripValue(gone);
    EXPECT_EQ(back.pointer, nullptr);
}

TEST_F(SaveValueTest, RecordlessTypesFail) {
    load("");
    ScriptMethod method(nullptr, nullptr);
    Value v = Value::fromPointer(ValueType::Method, &method);
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    EXPECT_FALSE(valueRecord(out, v));

    ASSERT_TRUE(out.beginWrite("", 114));
    uint8_t code = 77;
    ASSERT_TRUE(out.byteField(code));
    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    Value read;
    EXPECT_FALSE(valueRecord(in, read));
}

TEST_F(SaveValueTest, PropertyListsKeepSavedNamesAndUnchangedFlags) {
    load("");
    PropertyList list;
    list.set(intern("Score"), Value::fromNumber(1));
    list.set(intern("score"), Value::fromNumber(2));
    list.set(intern("_score"), Value::fromNumber(3));
    list.set(intern("same"), Value::fromNumber(4));
    PropertyList back;
    back.set(intern("same"), Value::fromNumber(4.0001)); // equal to 1/2048
    back.getOrCreate(intern("same"))->typeWord |= kValueUnchanged;
    roundTrip([&](SaveStream& s) { return propertyList(s, &list, false); },
              [&](SaveStream& s) { return propertyList(s, &back, false); });
    EXPECT_EQ(back.get(intern("Score")), nullptr);
    EXPECT_EQ(back.get(intern("score"))->number, 2);
    EXPECT_EQ(back.get(intern("_score"))->number, 3);
    EXPECT_FALSE(back.get(intern("score"))->unchanged());
    EXPECT_TRUE(back.get(intern("same"))->unchanged());
    EXPECT_TRUE(hasChangedValues(back));

    // Changed values only: an unchanged node is skipped.
    list.getOrCreate(intern("score"))->typeWord |= kValueUnchanged;
    PropertyList changed;
    roundTrip([&](SaveStream& s) { return propertyList(s, &list, true); },
              [&](SaveStream& s) { return propertyList(s, &changed, true); });
    EXPECT_EQ(changed.get(intern("score")), nullptr);
    EXPECT_NE(changed.get(intern("_score")), nullptr);
}

TEST_F(SaveValueTest, SharedAnonymousArraysAndInstancesReadBackAsOne) {
    load("class box {\n}\n"
         "init {\n  new #list []\n  set #list.tag 5\n  new #b -box\n  set #b.size 9\n}\n");
    Value list = value("list");
    Value instance = value("b");
    ASSERT_TRUE(list.is(ValueType::Array));
    ASSERT_TRUE(instance.is(ValueType::Instance));
    ArrayObject* written = list.as<ArrayObject>();
    written->put(1, scriptHeap().newCell(Value::fromNumber(7)));
    written->put(2, scriptHeap().newCell(instance));
    written->put(3, scriptHeap().newCell(Value::fromSymbol(intern("x"))));
    Value a1, a2, i1, i2;
    size_t sizeOfFirst = 0;
    roundTrip(
        [&](SaveStream& s) {
            bool ok = valueRecord(s, list);
            sizeOfFirst = s.size();
            return ok && valueRecord(s, list) && valueRecord(s, instance) && valueRecord(s, instance);
        },
        [&](SaveStream& s) {
            return valueRecord(s, a1) && valueRecord(s, a2) && valueRecord(s, i1) && valueRecord(s, i2);
        });
    ASSERT_TRUE(a1.is(ValueType::Array) && a1.pointer);
    EXPECT_NE(a1.pointer, list.pointer) << "a new array";
    EXPECT_EQ(a1.pointer, a2.pointer);
    ArrayObject* read = a1.as<ArrayObject>();
    ASSERT_EQ(read->count(), 3);
    EXPECT_EQ(read->at(1)->number, 7);
    EXPECT_EQ(read->at(3)->symbol(), intern("x"));
    ASSERT_TRUE(read->at(2)->is(ValueType::Instance));
    EXPECT_EQ(read->members.get(intern("tag"))->number, 5);
    // The instance inside the array was met first; the later references
    // carry only its number.
    EXPECT_EQ(i1.pointer, read->at(2)->pointer);
    EXPECT_EQ(i2.pointer, i1.pointer);
    EXPECT_EQ(i1.as<ScriptInstance>()->members.get(intern("size"))->number, 9);
    EXPECT_GT(sizeOfFirst, 16u);
}

TEST_F(SaveValueTest, ProbingReadsEverythingAndChangesNothing) {
    load("class box {\n}\n"
         "init {\n  new #list []\n  new #b -box\n  set #b.inner #list\n  set #x 3\n}\n");
    Value list = value("list");
    list.as<ArrayObject>()->put(1, scriptHeap().newCell(Value::fromNumber(7)));
    list.as<ArrayObject>()->put(2, scriptHeap().newCell(value("b")));
    Value* x = cell("x");
    size_t arrays = scriptHeap().arrays.liveCount(), instances = scriptHeap().instances.liveCount();
    Value a1, i1;
    Value target = Value::fromNumber(11);
    roundTrip([&](SaveStream& s) { return valueRecord(s, list) && valueRecord(s, list) && valueRecord(s, *x); },
              [&](SaveStream& s) { return valueRecord(s, a1) && valueRecord(s, i1) && valueRecord(s, target); },
              true);
    EXPECT_EQ(scriptHeap().arrays.liveCount(), arrays);
    EXPECT_EQ(scriptHeap().instances.liveCount(), instances);
    EXPECT_EQ(a1.pointer, nullptr);
    EXPECT_EQ(target.number, 3) << "numbers are read into the cell given";
}

TEST_F(SaveValueTest, NamedArraysAreFoundOrCreatedByName) {
    load("init {\n  set #names[1] 4\n}\n");
    Value named = value("names[]");
    ASSERT_TRUE(named.is(ValueType::Array));
    Value back;
    roundTrip([&](SaveStream& s) { return valueRecord(s, named); }, [&](SaveStream& s) { return valueRecord(s, back); });
    EXPECT_EQ(back.pointer, named.pointer);
}

TEST_F(SaveValueTest, HostileCountsAndDeepNestingFail) {
    load("");
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    // An anonymous array that claims two billion slots.
    uint8_t code = 74, kind = 0;
    Symbol* none = nullptr;
    int32_t number = 1, count = 2000000000;
    ASSERT_TRUE(out.byteField(code) && out.nameField(none) && out.byteField(kind) && out.nameField(none) &&
                out.intField(number) && out.intField(count));
    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    Value v;
    EXPECT_FALSE(valueRecord(in, v));

    // Arrays nested far deeper than any game makes them.
    SaveStream deep;
    ASSERT_TRUE(deep.beginWrite("", 114));
    for (int32_t level = 1; level <= 5000; ++level) {
        int32_t one = 1;
        ASSERT_TRUE(deep.byteField(code) && deep.nameField(none) && deep.byteField(kind) && deep.nameField(none) &&
                    deep.intField(level) && deep.intField(one) && deep.intField(one));
    }
    SaveStream deepIn;
    ASSERT_EQ(deepIn.openBytes(deep.bytes()), kSaveOpened);
    EXPECT_FALSE(valueRecord(deepIn, v));
}

} // namespace

namespace {

// Files of older format versions: numbers as floats, the old type list,
// array kinds as ints and ints as words.
TEST_F(SaveValueTest, OlderFormatVersionsReadTheirOwnFields) {
    load("init {\n  set #names[1] 4\n}\n");
    SaveStream out;
    ASSERT_TRUE(out.beginWrite("", 114));
    out.formatVersion = 100;
    uint8_t number = 1, string = 2, element = 3, array = 15;
    float half = 0.5f;
    Symbol *text = intern("old"), *none = nullptr, *room = intern("room"), *names = intern("names[]");
    int32_t kind = 0;
    ASSERT_TRUE(out.byteField(number) && out.floatField(half));
    ASSERT_TRUE(out.byteField(string) && out.nameField(text));
    ASSERT_TRUE(out.byteField(element) && out.nameField(none) && out.nameField(none));
    // A named array before version 104: no number field; its kind an int.
    ASSERT_TRUE(out.byteField(array) && out.nameField(room) && out.intField(kind) && out.nameField(names));
    SaveStream in;
    ASSERT_EQ(in.openBytes(out.bytes()), kSaveOpened);
    in.formatVersion = 100;
    Value a, b, c, d;
    ASSERT_TRUE(valueRecord(in, a) && valueRecord(in, b) && valueRecord(in, c) && valueRecord(in, d));
    EXPECT_EQ(a.number, 0.5);
    EXPECT_EQ(b.symbol(), text);
    EXPECT_TRUE(c.is(ValueType::Element));
    EXPECT_EQ(d.pointer, value("names[]").pointer);
    EXPECT_EQ(static_cast<size_t>(in.position()), in.size());
}

} // namespace
