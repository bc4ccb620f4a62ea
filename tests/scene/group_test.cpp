// Group facts as scripts read them; none can be written.
#include "element_fixture.h"

using namespace glint;
using namespace glint::test;

TEST_F(ElementFixture, GroupsReportTheirFactsAndKeepOtherVariables) {
    MElement* book = make("book");
    MElement* pen = make("pen");
    book->time = 250;
    book->visual->startTime = 1.5f;
    pen->visual->startTime = 0.5f;
    pen->visual->loopTime = 3;
    MGroup* bag = room.createGroup(intern("bag_2"));
    ScriptElement plain(intern("note"), &room); // not a scene element: no clock
    bag->elements = {&plain, book, pen};
    bag->storeTimes();
    EXPECT_EQ(room.findGroup(intern("bag_2")), bag);
    EXPECT_EQ(bag->index, 0);

    run("init {\n"
        "  set #count ~bag_2.count\n  set #name ~bag_2.name\n  set #index ~bag_2.index\n"
        "  set #time ~bag_2.time\n  set #start ~bag_2.start_time\n  set #loop ~bag_2.loop_time\n"
        "  set #scene ~bag_2.scene\n"
        "  set ~bag_2.count 9\n  set ~bag_2.colour 4\n  set #colour ~bag_2.colour\n"
        "}\n");
    EXPECT_EQ(number("count"), 3);
    EXPECT_EQ(value("name").symbol(), intern("bag_2"));
    EXPECT_EQ(number("index"), 2);
    EXPECT_DOUBLE_EQ(number("time"), 2.5) << "the clock of the first member that is an element";
    EXPECT_EQ(number("start"), 1.5);
    EXPECT_EQ(number("loop"), 3);
    EXPECT_EQ(value("scene").as<MScene>(), &room);
    EXPECT_TRUE(trace.contains("Invalid property count"));
    EXPECT_EQ(bag->elements.size(), 3u);
    EXPECT_EQ(number("colour"), 4);
}
