#include "tools/inputaim/input_search.h"

#include <gtest/gtest.h>

#include "tools/inputaim/tests/fake_ax_tree.h"

namespace orvex::inputaim {
namespace {

using testing::FakeElement;

const Rect window{100, 50, 800, 600};  // x 100..900, y 50..650

TEST(FrontWindow, PrefersFocusedThenMainThenFirstWindowElseNone) {
    auto app = FakeElement::make("AXApplication");
    auto focused = FakeElement::make("AXWindow");
    auto main = FakeElement::make("AXWindow");
    auto first = FakeElement::make("AXWindow");
    app->set("AXWindows", std::vector<AXElementRef>{first, main});
    EXPECT_EQ(frontWindow(*app), first);
    app->set("AXMainWindow", AXElementRef(main));
    EXPECT_EQ(frontWindow(*app), main);
    app->set("AXFocusedWindow", AXElementRef(focused));
    EXPECT_EQ(frontWindow(*app), focused);
    // A failing or empty focused window falls through to the next source.
    app->fail("AXFocusedWindow", AXError::cannotComplete);
    EXPECT_EQ(frontWindow(*app), main);
    app->set("AXMainWindow", AXElementRef());
    EXPECT_EQ(frontWindow(*app), first);

    // Without a usable window list, none.
    app = FakeElement::make("AXApplication");
    EXPECT_EQ(frontWindow(*app), nullptr);
    app->set("AXWindows", std::vector<AXElementRef>{});
    EXPECT_EQ(frontWindow(*app), nullptr);
    app->set("AXWindows", std::string("not a list"));
    EXPECT_EQ(frontWindow(*app), nullptr);
    app->set("AXFocusedWindow", std::string("not an element"));
    EXPECT_EQ(frontWindow(*app), nullptr);
}

TEST(Rect, NeedsBothAttributesOfTheRightKind) {
    auto element = FakeElement::make();
    EXPECT_FALSE(rect(*element));
    element->set("AXPosition", AXPoint{1, 2});
    EXPECT_FALSE(rect(*element));
    element->set("AXSize", AXPoint{3, 4});  // wrong wrapper
    EXPECT_FALSE(rect(*element));
    element->set("AXSize", AXSize{3, 4});
    EXPECT_EQ(rect(*element), (Rect{1, 2, 3, 4}));
    element->fail("AXPosition", AXError::cannotComplete);
    EXPECT_FALSE(rect(*element));
}

TEST(Label, JoinsDescriptionPlaceholderTitleKeepingEmptyStrings) {
    auto element = FakeElement::make();
    EXPECT_EQ(label(*element), "");
    element->set("AXTitle", std::string("Title"));
    EXPECT_EQ(label(*element), "Title");
    element->set("AXDescription", std::string("Desc"));
    element->set("AXPlaceholderValue", std::string("Ask anything"));
    EXPECT_EQ(label(*element), "Desc Ask anything Title");
    element->set("AXPlaceholderValue", std::string(""));
    EXPECT_EQ(label(*element), "Desc  Title");
    element->set("AXPlaceholderValue", true);  // not a string: skipped
    element->fail("AXTitle", AXError::noValue);
    EXPECT_EQ(label(*element), "Desc");
}

TEST(IsVisible, MinimumSizeTwoPointsOfVerticalSlackAnyHorizontalOverlap) {
    const std::pair<Rect, bool> cases[] = {
        {{200, 100, 39, 50}, false}, {{200, 100, 40, 50}, true},   {{200, 100, 100, 9.5}, false},
        {{200, 100, 100, 10}, true}, {{200, 48, 100, 50}, true},   {{200, 47, 100, 50}, false},
        {{200, 602, 100, 50}, true}, {{200, 603, 100, 50}, false},  // max y 652, 653
        {{0, 100, 101, 50}, true},   {{0, 100, 100, 50}, false},    // ends at the left edge
        {{899, 100, 100, 50}, true}, {{900, 100, 100, 50}, false},
    };
    for (const auto& [frame, visible] : cases)
        EXPECT_EQ(isVisible(frame, window), visible) << frame.x << " " << frame.y;
}

TEST(Collect, TakesOnlyTextAreasWithFramesInPreOrder) {
    auto root = FakeElement::make("AXWindow");
    auto group = root->add(FakeElement::make("AXGroup"));
    auto first = group->add(FakeElement::textArea(0, 0, 100, 20, true, "first"));
    first->add(FakeElement::textArea(0, 30, 100, 20, false, "nested"));
    root->add(FakeElement::make("AXTextField"))->setFrame(0, 0, 100, 20);
    root->add(FakeElement::make("AXTextArea"));  // no frame: walked, not collected
    root->add(FakeElement::textArea(0, 60, 100, 20, true, "last"));

    Collector collector;
    collector.collect(root);
    ASSERT_EQ(collector.candidates().size(), 3u);
    EXPECT_EQ(collector.candidates()[0].name, "first");
    EXPECT_EQ(collector.candidates()[0].element, first);
    EXPECT_TRUE(collector.candidates()[0].settable);
    EXPECT_EQ(collector.candidates()[1].name, "nested");
    EXPECT_FALSE(collector.candidates()[1].settable);
    EXPECT_EQ(collector.candidates()[2].name, "last");
    EXPECT_EQ(collector.visited(), 7);
}

TEST(Collect, RoleMissingOrOddAndFailedSettableQueryDoNotStopTheWalk) {
    auto root = FakeElement::make("");
    root->set("AXRole", 12.0);  // not a string: empty role, children still walked
    auto area = root->add(FakeElement::textArea(0, 0, 100, 20, true));
    area->settableError = AXError::cannotComplete;
    auto broken = root->add(FakeElement::make("AXGroup"));
    broken->fail("AXChildren", AXError::cannotComplete);
    auto odd = root->add(FakeElement::make("AXGroup"));
    odd->set("AXChildren", std::string("not a list"));

    Collector collector;
    collector.collect(root);
    ASSERT_EQ(collector.candidates().size(), 1u);
    EXPECT_FALSE(collector.candidates()[0].settable);
    EXPECT_EQ(collector.visited(), 4);
}

TEST(Collect, DoesNotEnterListLikeContainers) {
    auto root = FakeElement::make("AXWindow");
    std::vector<std::shared_ptr<FakeElement>> containers;
    for (const char* role : {"AXOutline", "AXRow", "AXCell", "AXList", "AXTable"}) {
        containers.push_back(root->add(FakeElement::make(role)));
        containers.back()->add(FakeElement::textArea(0, 0, 100, 20));
    }
    auto web = root->add(FakeElement::make("AXWebArea"));
    web->add(FakeElement::textArea(0, 0, 100, 20));
    Collector collector;
    collector.collect(root);
    EXPECT_EQ(collector.candidates().size(), 1u);  // only the web area's
    EXPECT_EQ(collector.visited(), 8);
    for (auto& container : containers)
        EXPECT_EQ(container->reads.count("AXChildren"), 0u);
    EXPECT_EQ(collector.emptyWebAreas(), 0);
}

TEST(Collect, StopsTestingAfterTheStepLimitButKeepsCounting) {
    auto root = FakeElement::make("AXWindow");
    // Step 1 is the root; steps 2..7999 plain elements; step 8000 the last one tested.
    for (int step = 2; step < maxWalkSteps; ++step)
        root->add(FakeElement::make("AXStaticText"));
    root->add(FakeElement::textArea(0, 0, 100, 20, true, "edge"));
    auto late = root->add(FakeElement::textArea(0, 0, 100, 20, true, "late"));
    root->add(FakeElement::textArea(0, 0, 100, 20, true, "later"));

    Collector collector;
    collector.collect(root);
    ASSERT_EQ(collector.candidates().size(), 1u);
    EXPECT_EQ(collector.candidates()[0].name, "edge");
    EXPECT_EQ(collector.visited(), maxWalkSteps + 2);
    EXPECT_EQ(late->reads.count("AXRole"), 0u);
}

TEST(Collect, DeepTreesDoNotExhaustTheStack) {
    std::vector<std::shared_ptr<FakeElement>> chain{FakeElement::make("AXWindow")};
    for (int i = 0; i < 20000; ++i)
        chain.push_back(chain.back()->add(FakeElement::make()));
    Collector collector;
    collector.collect(chain.front());
    EXPECT_EQ(collector.visited(), maxWalkSteps + 1);
    // Unlink before the chain goes, so releasing it does not recurse either.
    for (auto& node : chain) {
        node->children.clear();
        node->attributes.clear();
    }
}

Candidate candidate(const char* name, Rect frame, bool settable = true) {
    return Candidate{FakeElement::make(), frame, name, settable};
}

// Settable ones only when any is; the hint narrows case-sensitively; neither ever empties.
TEST(Filters, SettableOnlyWhenAnyIsAndTheHintNarrowsCaseSensitively) {
    auto kept = preferSettable({candidate("ro", {}, false), candidate("rw", {}, true)});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "rw");
    EXPECT_EQ(preferSettable({candidate("a", {}, false), candidate("b", {}, false)}).size(), 2u);

    std::vector<Candidate> pool{candidate("Ask Gemini", {}), candidate("Notes", {}),
                                candidate("gemini log", {})};
    auto narrowed = narrowByHint(pool, "Gemini");
    ASSERT_EQ(narrowed.size(), 1u);
    EXPECT_EQ(narrowed[0].name, "Ask Gemini");
    EXPECT_EQ(narrowByHint(pool, "Claude").size(), 3u);
    EXPECT_EQ(narrowByHint(pool, "").size(), 3u);
}

TEST(Choose, LowestThenWidestThenEarliest) {
    EXPECT_FALSE(choose({}));
    EXPECT_EQ(choose({candidate("high", {0, 10, 100, 50}), candidate("low", {0, 400, 100, 50}),
                      candidate("mid", {0, 200, 100, 50})})
                  ->name,
              "low");
    // Same bottom edge (y + height), different origins: the wider wins.
    EXPECT_EQ(
        choose({candidate("narrow", {0, 300, 100, 100}), candidate("wide", {0, 350, 200, 50})})
            ->name,
        "wide");
    EXPECT_EQ(
        choose({candidate("first", {0, 300, 100, 100}), candidate("second", {50, 300, 100, 100})})
            ->name,
        "first");
}

TEST(SearchWindow, EditableBeatsLowerReadOnlyAndHintBeatsHeight) {
    auto root = FakeElement::make("AXWindow");
    root->add(FakeElement::textArea(120, 100, 400, 80, true, "Draft"));
    root->add(FakeElement::textArea(120, 300, 400, 80, true, "Reply"));
    root->add(FakeElement::textArea(120, 500, 400, 80, false, "Transcript"));
    root->add(FakeElement::textArea(120, 900, 400, 80, true, "Offscreen"));

    auto result = searchWindow(root, window, "");
    EXPECT_EQ(result.candidates.size(), 4u);
    EXPECT_EQ(result.visible.size(), 2u);
    EXPECT_EQ(result.chosen->name, "Reply");
    EXPECT_EQ(searchWindow(root, window, "Draft").chosen->name, "Draft");
    EXPECT_EQ(searchWindow(root, window, "Nothing").chosen->name, "Reply");
}

}  // namespace
}  // namespace orvex::inputaim
