// The inventory driven tick by tick: counts moving items through a panel,
// counters, scrolling with the arrows, the slide in and out, close-ups that
// keep their item, replacing, emptying, item properties and tooltips.
#include "app/engine_fixture.h"

#include "game/inventory.h"
#include "game/pointer.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"
#include "resource/texture.h"
#include "text/localization.h"

using namespace glint;
using namespace glint::test;

namespace {

// Screen places (the game is 1024 x 768): the bar is 640 wide at the
// bottom centre, the arrows beyond its ends.
struct Spot {
    float x, y;
};
constexpr Spot kRightArrow{852, 728}, kLeftArrow{172, 728};

struct InventoryTest : EngineFixture {
    MEngine* engine = nullptr;

    // Nine plain items a to i, and a coin, a key and a letter whose close-up
    // is the item scene of the same name.
    void writeGame(const std::string& config) {
        makeGame("BuildSupportMScene=1\r\nBuildForLUMO=1\r\n" + config,
                 "fun give %item %n {\n  pick_item %item %n\n}\nfun spend %item %n {\n  use %item %n\n}\n"
                 "fun swap %old %new {\n  replace %old %new\n}\nfun empty_all {\n  reset_inventory\n}\n",
                 "fun on_inventory_slidein {\n  add #slideins 1\n  animate_fx $hud:inventory_items -0.3 0\n}\n"
                 "fun on_inventory_slideout {\n  add #slideouts 1\n  animate_fx $hud:inventory_items -0.2 0\n}\n"
                 "fun on_inventory_show {\n  add #shows 1\n}\nfun on_inventory_hide {\n  add #hides 1\n}\n"
                 "fun on_scroll_inventory {\n  add #scrolls 1\n}\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/inventory\r\ndata/_interface/hud\r\n"
                                "data/startup\r\ndata/item_letter\r\n");
        std::string items, totals;
        for (const char* name : {"item_coin", "item_key", "item_letter", "item_a", "item_b", "item_c", "item_d",
                                 "item_e", "item_f", "item_g", "item_h", "item_i"}) {
            items += std::string(items.empty() ? "" : ", ") + "\"" + name + "\": {\"I\": [\"" + (name + 5) +
                     ".png\"], \"D\": [40, 40]}";
            totals += std::string("  set ^") + name + ".Total_count 1\n";
        }
        file("data/_interface/inventory/_inventory.scene", "{\"elements\": {" + items + "}}");
        file("data/_interface/inventory/_inventory.sxcfg", "item_coin=\"1, 22,5,-3,x\"\r\nitem_key=2\r\n");
        file("data/_interface/inventory/inventory.script",
             "action take_coin hand $item_coin ? {\n  do {\n    take ^item_coin\n  }\n}\n"
             "init {\n" + totals + "  set ^item_coin.Total_count 3\n  set ^item_coin.item_click_task @take_coin\n}\n");
        file("data/_interface/hud/_hud.scene",
             R"({"elements": {"inventory_items": {"D": [640, 80], "Y": 344},
                 "inventory_left": {"D": [40, 80], "X": -340, "Y": 344},
                 "inventory_right": {"D": [40, 80], "X": 340, "Y": 344}}})");
        file("data/_interface/hud/hud.script",
             "action inventory_left hand $inventory_left ? {\n  do {\n  }\n}\n"
             "action inventory_right hand $inventory_right ? {\n  do {\n  }\n}\n"
             "init {\n  enable @inventory_left\n  enable @inventory_right\n}\n");
        file("data/item_letter/_item_letter.scene", R"({"elements": {"page": {"D": [300, 300]}}})");
        file("data/item_letter/item_letter.script", "init {\n  set #Open_time 0.1\n  set #Close_time 0.1\n}\n");
    }
    void SetUp() override {
        writeGame("inventory_visible_items=8\r\ninventory_wobble=1\r\n");
        startGame();
    }
    void startGame() {
        engine = &start();
        loadUntilPlay(*engine);
    }

    MInventory& inventory() { return *engine->inventory; }
    InventoryPanel& panel(int k = 0) { return inventory().panels[static_cast<size_t>(k)]; }
    InventoryItem& item(const char* name) { return *inventory().findItem(intern(name)); }
    Value itemValue(const char* name) { return item(name).cell; }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i)
            engine->advanceBy(10);
    }
    void moveTo(Spot spot) {
        engine->input.pointerX = spot.x;
        engine->input.pointerY = spot.y;
    }
    void click(Spot spot) {
        moveTo(spot);
        engine->input.buttonPressed[0] = engine->input.buttonHeld[0] = 1;
        tick();
        engine->input.buttonHeld[0] = 0;
        engine->input.buttonReleased[0] = 1;
        tick();
    }
    void call(const char* function, std::initializer_list<Value> arguments) {
        callScopeFunction(engine->findScene(intern("startup"))->scope, intern(function), arguments.begin(),
                          static_cast<int>(arguments.size()));
    }
    void pick(const char* name, double n = 1) { call("give", {itemValue(name), Value::fromNumber(n)}); }
    double global(const char* name) {
        Value* cell = findVariable(script().global(), KindPlain, intern(name), nullptr, false);
        return cell && cell->isNumber() ? cell->number : 0;
    }
    void setGlobal(const char* name, double value) {
        *findVariable(script().global(), KindPlain, intern(name), nullptr, true) = Value::fromNumber(value);
    }
    // The names of a panel's items in slot order, each with its slot.
    std::string contents(int k = 0) {
        std::string text;
        for (InventoryItem* i : panel(k).items)
            text += std::string(text.empty() ? "" : " ") + i->name->text + "@" + std::to_string(i->slot);
        return text;
    }
};

TEST_F(InventoryTest, PickAndUseMoveItemsThroughThePanel) {
    pick("item_coin", 3);
    pick("item_key");
    EXPECT_EQ(contents(), "item_coin@0 item_key@1");
    EXPECT_TRUE(item("item_coin").element->hasFlag(kElementVisible)) << "shown so that its tasks hit-test it";

    call("spend", {itemValue("item_coin"), Value::fromNumber(5)});
    EXPECT_EQ(item("item_coin").count, 0) << "only the three there were";
    EXPECT_EQ(item("item_coin").usedCount, 3);
    EXPECT_EQ(contents(), "item_key@0") << "the later item moves up";
    EXPECT_FALSE(item("item_coin").element->hasFlag(kElementVisible));

    pick("item_coin", 2);
    EXPECT_EQ(item("item_coin").count, 0) << "used up: nothing left to find";
    EXPECT_EQ(contents(), "item_key@0");

    call("spend", {itemValue("item_key"), Value::fromNumber(-1)});
    EXPECT_EQ(item("item_key").count, 0);
    EXPECT_EQ(item("item_key").usedCount, 0) << "a negative count clears both counts";
    EXPECT_EQ(contents(), "");
}

TEST_F(InventoryTest, ItemsEaseIntoTheirSlotsAndFadeAtThePanelsEnds) {
    for (const char* name : {"item_a", "item_b", "item_c"})
        pick(name);
    InventoryItem& c = item("item_c");
    tick();
    // Eight slots of 80 centred under the bar at (512, 728).
    EXPECT_EQ(item("item_a").x, 512 - 280);
    EXPECT_EQ(c.x, 512 - 280 + 160);
    EXPECT_EQ(c.y, 728);
    EXPECT_FLOAT_EQ(c.edgeOpacity, 1);

    // An item put in front eases into place by 0.04 slots per tick.
    InventoryItem& d = item("item_d");
    inventory().changeCount(d, 1, 0, 0);
    EXPECT_EQ(contents(), "item_d@0 item_a@1 item_b@2 item_c@3");
    tick(10);
    EXPECT_NEAR(c.slotPosition, 2.4f, 1e-4f);
    tick(16);
    EXPECT_FLOAT_EQ(c.slotPosition, 3);
    EXPECT_FLOAT_EQ(d.glow, 1) << "an item put at a place shows at once";
}

TEST_F(InventoryTest, CountersShowThePiecesLeftOfAll) {
    struct Case {
        const char* name;
        int total, used, count, pending;
        const char* countText;
        double crosses;
        const char* expected;
    } cases[] = {
        {"two of three, one used", 3, 1, 2, 0, nullptr, 0, "2/2"},
        {"one that exists once", 1, 0, 1, 0, nullptr, 0, ""},
        {"one still flying in", 4, 0, 3, 1, nullptr, 0, "2/4"},
        {"crosses", 3, 0, 2, 0, nullptr, 1, "x2"},
        {"its own text", 1, 0, 1, 0, "lots", 0, "lots"},
    };
    InventoryItem& coin = item("item_coin");
    for (const Case& c : cases) {
        coin.totalCount = c.total, coin.usedCount = c.used, coin.count = c.count, coin.pendingPicks = c.pending;
        coin.members.set(sym::count_text(), c.countText ? Value::fromSymbol(intern(c.countText)) : Value());
        coin.members.set(sym::item_count_x(), Value::fromNumber(c.crosses));
        EXPECT_EQ(MInventory::counterText(coin), c.expected) << c.name;
    }
}

TEST_F(InventoryTest, TheArrowsScrollByTheStepWithinTheItems) {
    for (const char* name : {"item_a", "item_b", "item_c", "item_d", "item_e", "item_f", "item_g", "item_h"})
        pick(name);
    tick();
    MElement* right = dynamic_cast<MElement*>(panel().rightTask->element);
    EXPECT_FALSE(right->hasFlag(kElementVisible)) << "eight items fit";
    pick("item_i");
    tick();
    EXPECT_TRUE(right->hasFlag(kElementVisible));

    click(kRightArrow);
    EXPECT_EQ(panel().firstVisible, 1) << "nine items, eight shown: the step of five stops at one";
    EXPECT_EQ(global("scrolls"), 1);
    EXPECT_FALSE(right->hasFlag(kElementActive)) << "no clicks while the panel scrolls";
    tick(10);
    EXPECT_FALSE(right->hasFlag(kElementVisible));
    EXPECT_TRUE(right->hasFlag(kElementActive));

    EXPECT_EQ(item("item_a").edgeOpacity, 0) << "scrolled out";
    EXPECT_EQ(item("item_i").edgeOpacity, 1);
    call("spend", {itemValue("item_i"), Value::fromNumber(1)});
    EXPECT_EQ(panel().firstVisible, 0) << "removing the last item scrolls back by one slot";

    pick("item_coin"); // the used-up item cannot come back
    tick(10);
    click(kRightArrow);
    tick(10);
    click(kLeftArrow);
    EXPECT_EQ(panel().firstVisible, 0);
    EXPECT_EQ(global("scrolls"), 3);
}

TEST_F(InventoryTest, ScriptsScrollToAnItemOnce) {
    for (const char* name : {"item_a", "item_b", "item_c", "item_d", "item_e", "item_f", "item_g", "item_h",
                             "item_i", "item_coin"})
        pick(name);
    inventory().forcePositionByItem = itemValue("item_coin");
    tick();
    EXPECT_EQ(panel().firstVisible, 2) << "the coin in slot 9 becomes the last shown";
    EXPECT_FLOAT_EQ(panel().scrollSpeed, 0.05f);
    EXPECT_TRUE(inventory().forcePositionByItem.isNone());
}

TEST_F(InventoryTest, TheInventorySlidesWithTheAnchorsAnimation) {
    // Nothing wants it: hidden at once after the switch.
    EXPECT_EQ(inventory().state, kInventoryHidden);
    EXPECT_EQ(global("hides"), 1);

    // 40 pixels above the bottom edge, the hidden inventory comes out...
    moveTo({512, 720});
    tick();
    EXPECT_EQ(inventory().state, kInventoryHidden) << "outside the lowest 40 pixels";
    moveTo({512, 730});
    tick();
    EXPECT_EQ(inventory().state, kInventorySlidingIn);
    EXPECT_EQ(global("slideins"), 1);
    EXPECT_TRUE(panel().wobbling) << "its items wobble as it comes";
    tick(29);
    EXPECT_EQ(inventory().state, kInventorySlidingIn) << "the slide of 0.3 s runs";
    tick(2);
    EXPECT_EQ(inventory().state, kInventoryShown);

    // ...and stays while the pointer is within 140 pixels of the edge.
    moveTo({512, 640});
    tick(100);
    EXPECT_EQ(inventory().state, kInventoryShown);
    moveTo({100, 640});
    tick(49);
    EXPECT_EQ(inventory().state, kInventoryShown) << "out of the zone: the timeout of 1 s runs down";
    tick(3);
    EXPECT_EQ(inventory().state, kInventorySlidingOut);
    EXPECT_EQ(global("slideouts"), 1);
    tick(25);
    EXPECT_EQ(inventory().state, kInventoryHidden);

    EXPECT_TRUE(panel().wobbling);
    tick(150); // 359 ticks since it began
    EXPECT_FALSE(panel().wobbling) << "six curve segments of 0.5 s and 0.07 s for each further slot";

    setGlobal("force_inventory", 1);
    tick();
    EXPECT_EQ(inventory().state, kInventorySlidingIn) << "the scripts can keep it out";
}

TEST_F(InventoryTest, WhatMakesTheInventoryWanted) {
    EXPECT_FALSE(inventory().wanted());
    MScene* room = engine->playScene();
    room->flags.hiddenObject = true;
    EXPECT_TRUE(inventory().wanted()) << "a hidden-object scene shows it without any reason";
    room->flags.hiddenObject = false;
    engine->pointer.takeObject(itemValue("item_key"), false);
    EXPECT_TRUE(inventory().wanted()) << "while an item is carried";
    room->cells.noInventory = Value::fromNumber(1);
    EXPECT_FALSE(inventory().wanted()) << "No_inventory";
    room->cells.noInventory = Value();
    item("item_key").holder = engine->scenes.hud->findElement(intern("inventory_left"));
    EXPECT_FALSE(inventory().wanted()) << "an item with a holder goes there instead";
}

TEST_F(InventoryTest, AnItemWithACloseUpStaysInItsPanelWhileItIsOpen) {
    pick("item_letter");
    pick("item_key");
    MScene* closeUp = engine->findScene(intern("item_letter"));
    ASSERT_EQ(item("item_letter").itemScene, closeUp);
    engine->navigation->openScene(closeUp);
    tick(20);
    ASSERT_EQ(engine->activeScene(), closeUp);

    call("spend", {itemValue("item_letter"), Value::fromNumber(1)});
    EXPECT_EQ(item("item_letter").count, 0);
    EXPECT_EQ(contents(), "item_letter@0 item_key@1") << "kept in view while its close-up is open";
    tick();
    EXPECT_FLOAT_EQ(item("item_letter").glowTarget, 1);

    engine->navigation->closeTop(0);
    tick(20);
    call("spend", {itemValue("item_key"), Value::fromNumber(1)});
    call("spend", {itemValue("item_letter"), Value::fromNumber(1)});
    EXPECT_EQ(contents(), "") << "once closed it leaves like any other";
}

TEST_F(InventoryTest, ClicksTakeFromThePanelAndPutBack) {
    pick("item_coin", 3);
    pick("item_key");
    setGlobal("force_inventory", 1);
    tick(40);
    ASSERT_EQ(inventory().state, kInventoryShown);
    const Spot coin{static_cast<float>(item("item_coin").x), static_cast<float>(item("item_coin").y)};
    const Spot key{static_cast<float>(item("item_key").x), static_cast<float>(item("item_key").y)};

    moveTo(key);
    tick();
    EXPECT_EQ(engine->pointer.hoverItem, nullptr) << "the key has no click task";
    click(key);
    EXPECT_TRUE(engine->pointer.takenObject.isNone());
    moveTo(coin);
    tick();
    EXPECT_EQ(engine->pointer.hoverItem, &item("item_coin"));
    EXPECT_STREQ(engine->currentLook()->text, "hand") << "the look its click task asks for";
    item("item_coin").clickTask->pointerName = nullptr;
    EXPECT_STREQ(engine->currentLook()->text, "pick") << "an item without close-up";

    click(coin);
    ASSERT_EQ(inventory().takenItem(), &item("item_coin")) << "its click task took it";
    tick();
    EXPECT_FLOAT_EQ(item("item_coin").glow, 0) << "the carried item leaves its panel";
    click(coin);
    EXPECT_TRUE(engine->pointer.takenObject.isNone()) << "a click on its place puts it back";
    EXPECT_FLOAT_EQ(item("item_coin").glow, 1);
    EXPECT_EQ(contents(), "item_coin@0 item_key@1");
}

TEST_F(InventoryTest, AReplacementTakesTheCarriedItemsPlaceWhenItIsPutBack) {
    pick("item_a");
    pick("item_key");
    pick("item_b");
    engine->pointer.takeObject(itemValue("item_key"), false);
    call("swap", {itemValue("item_key"), itemValue("item_coin")});
    EXPECT_EQ(inventory().takenItem(), &item("item_key")) << "still in the hand";
    EXPECT_EQ(&inventory().imageSetFor(item("item_key")), item("item_coin").defaultImageSet.get())
        << "showing the replacement";
    engine->pointer.dropObject(0);
    EXPECT_EQ(contents(), "item_a@0 item_coin@1 item_b@2");
    EXPECT_EQ(item("item_coin").count, 1);
    EXPECT_EQ(item("item_key").count, 0);

    call("swap", {itemValue("item_a"), itemValue("item_c")});
    EXPECT_EQ(contents(), "item_c@0 item_coin@1 item_b@2") << "not carried: replaced at once";

    engine->pointer.takeObject(itemValue("item_coin"), false);
    call("empty_all", {});
    EXPECT_EQ(contents(), "");
    EXPECT_TRUE(engine->pointer.takenObject.isNone());
    EXPECT_EQ(item("item_coin").count, 0);
    EXPECT_EQ(item("item_coin").usedCount, 1) << "the count returns to used";
}

TEST_F(InventoryTest, ItemProperties) {
    InventoryItem& coin = item("item_coin");
    Value out;
    ASSERT_TRUE(coin.getProperty(sym::name(), out));
    EXPECT_EQ(out.symbol(), intern("item_coin"));
    coin.setProperty(sym::Total_count(), Value::fromNumber(4.5));
    EXPECT_EQ(coin.totalCount, 5);
    coin.setProperty(sym::count(), Value::fromSymbol(intern("many")));
    EXPECT_EQ(coin.count, 0) << "anything but a number stores 0";
    EXPECT_FALSE(coin.setProperty(sym::name(), Value::fromSymbol(intern("x")))) << "read-only";
    coin.setProperty(sym::item_click_task(), Value::fromNumber(1));
    EXPECT_EQ(coin.clickTask, nullptr);
    coin.setProperty(sym::inventory_index(), Value::fromNumber(7));
    EXPECT_EQ(coin.panel, &panel(0)) << "one panel: clamped to it";
}

TEST_F(InventoryTest, PicturesListedByCodeFallBackToTheirKindForOtherCounts) {
    const ItemImageSet& coin = *item("item_coin").defaultImageSet;
    auto path = [&coin](int count, int kind) {
        MTexture* picture = coin.picture(count, kind);
        return std::string(picture ? picture->path : "");
    };
    const std::string folder = "data/_interface/inventory/";
    EXPECT_EQ(path(0, kItemPicture), folder + "coin.png") << "its element's own";
    EXPECT_EQ(path(0, kItemUnderPicture), folder + "coin_g.dds") << "code 1, named with the texture extension";
    EXPECT_EQ(path(2, kItemReflection), folder + "coin_02_r.dds") << "code 22: for two pieces";
    EXPECT_EQ(path(3, kItemUnderPicture), folder + "coin_g.dds") << "no picture for three: the one for none";
    EXPECT_EQ(path(3, kItemReflection), "") << "and nothing when there is none";
    EXPECT_EQ(path(0, kItemReflection), "");
    const ItemImageSet& key = *item("item_key").defaultImageSet;
    EXPECT_STREQ(key.picture(0, kItemReflection)->path, "data/_interface/inventory/key_r.dds") << "a single code";
}

TEST_F(InventoryTest, ItemTooltipsComeFromTheirTextsOrTheirLocalizedName) {
    setLocalizedText(intern("item_coin"), intern("A coin"));
    setLocalizedText(intern("greeting"), intern("Hello "));
    InventoryItem& coin = item("item_coin");
    EXPECT_EQ(inventory().itemTooltip(coin), "A coin") << "the prefix and the name after item_";
    coin.members.set(sym::tooltip_key(), Value::fromSymbol(intern("greeting")));
    coin.members.set(sym::tooltip_text(), Value::fromSymbol(intern("there")));
    EXPECT_EQ(inventory().itemTooltip(coin), "Hello there") << "key and text joined";
    EXPECT_EQ(inventory().itemTooltip(item("item_key")), "") << "no name in the table";
}

TEST_F(InventoryTest, PanelCountIsClampedAndItemsMoveBetweenPanels) {
    struct Case {
        const char* config;
        size_t panels;
    } cases[] = {{"inventory_count=0\r\n", 1}, {"inventory_count=12\r\n", 9}, {"inventory_count=2\r\n", 2}};
    for (const Case& c : cases) {
        writeGame(c.config);
        startGame();
        EXPECT_EQ(inventory().panels.size(), c.panels) << c.config;
    }
    pick("item_a");
    pick("item_b");
    item("item_a").setProperty(sym::inventory_index(), Value::fromNumber(2));
    EXPECT_EQ(contents(0), "item_b@0");
    EXPECT_EQ(contents(1), "item_a@0");
    Value index;
    item("item_a").getProperty(sym::inventory_index(), index);
    EXPECT_EQ(index.number, 2);
}

} // namespace
