#include <gtest/gtest.h>

#include <vector>

#include "gui/focus_logic.h"

namespace {

struct AcceleratorCase {
  const char* name;
  AcceleratorFacts facts;
  bool showCues;
  bool useTable;
};

// hasFocus, tabDown, modifierDown, editableRichEdit, hasActive, hotkey, activeIsOurs
const AcceleratorCase AcceleratorCases[] = {
    {"plain key in our window", {true, false, false, false, true, false, true}, false, true},
    {"Tab in our window", {true, true, false, false, true, false, true}, false, true},
    {"Tab in an editable rich edit", {true, true, false, true, true, false, true}, false, false},
    {"Shift+Tab in a rich edit translates", {true, true, true, true, true, false, true}, true, true},
    {"modifier shows cues", {true, false, true, false, true, false, true}, true, true},
    {"hot-key control keeps keys", {true, true, false, false, true, true, true}, false, false},
    {"hot-key control still shows cues", {true, false, true, false, true, true, true}, true, false},
    {"foreign active window", {true, true, false, false, true, false, false}, false, false},
    {"no active window", {false, true, true, false, false, false, false}, false, false},
};

TEST(AcceleratorDecisionTest, DecidesWhenTheTabTableApplies) {
  for (const AcceleratorCase& c : AcceleratorCases) {
    SCOPED_TRACE(c.name);
    const AcceleratorDecision d = DecideAccelerator(c.facts);
    EXPECT_EQ(d.showCues, c.showCues);
    EXPECT_EQ(d.useWindowTable, c.useTable);
  }
}

TEST(FocusCuesTest, ChangesOnlyWhatIsNotAlreadySo) {
  EXPECT_EQ(FocusCuesUpdate(0, true), 0u);
  EXPECT_EQ(FocusCuesUpdate(UiStateHideFocus, true), UiStateClearBoth);
  EXPECT_EQ(FocusCuesUpdate(UiStateHideAccel, true), UiStateClearBoth);
  EXPECT_EQ(FocusCuesUpdate(UiStateHideFocus | UiStateHideAccel, false), 0u);
  EXPECT_EQ(FocusCuesUpdate(UiStateHideAccel, false), UiStateSetBoth);
  EXPECT_EQ(FocusCuesUpdate(0, false), UiStateSetBoth);
}

NativeHandle Walk(const std::vector<NativeHandle>& stops, NativeHandle current, bool backward) {
  TabWalk walk(current, backward);
  for (NativeHandle stop : stops) {
    if (!walk.Visit(stop)) break;
  }
  if (walk.NeedsSecondPass()) {
    for (NativeHandle stop : stops) {
      if (!walk.Visit(stop)) break;
    }
  }
  walk.Finish();
  return walk.target();
}

struct TabCase {
  const char* name;
  std::vector<NativeHandle> stops;
  NativeHandle current;
  bool backward;
  NativeHandle target;
};

const std::vector<TabCase>& TabCases() {
  static const std::vector<TabCase> cases = {
      {"Tab moves on", {11, 12, 13}, 11, false, 12},
      {"Tab on the last wraps to the first", {11, 12, 13}, 13, false, 11},
      {"Tab from outside focuses the first", {11, 12, 13}, 0, false, 11},
      {"Tab from a focus that is no stop changes nothing", {11, 12, 13}, 99, false, 0},
      {"Tab with one stop stays on it", {11}, 11, false, 11},
      {"Shift+Tab moves back", {11, 12, 13}, 13, true, 12},
      {"Shift+Tab on the first wraps to the last", {11, 12, 13}, 11, true, 13},
      {"Shift+Tab from outside focuses the last", {11, 12, 13}, 0, true, 13},
      {"no tab stops: nothing", {}, 0, false, 0},
      {"no tab stops backward: nothing", {}, 0, true, 0},
  };
  return cases;
}

TEST(TabWalkTest, ChoosesTheStopToFocus) {
  for (const TabCase& c : TabCases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Walk(c.stops, c.current, c.backward), c.target);
  }
}

}  // namespace
