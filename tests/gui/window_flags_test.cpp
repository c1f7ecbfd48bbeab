#include <gtest/gtest.h>

#include "gui/window_flags.h"

namespace {

using namespace win32_values;

struct FlagCase {
  const char* name;
  std::uint32_t flags;
  std::uint32_t style;
  std::uint32_t extendedStyle;
  bool hidden;
  std::int32_t showCommand;
  std::int32_t sizeState;
  bool gadgetList;
  WindowCentring centring;
};

const FlagCase FlagCases[] = {
    {"nothing: captioned, shown normally", 0, 0x00C00000, 0, false, ShowNormal, 0, true, WindowCentring::None},
    {"hidden alone: captioned and hidden", 0x10000000, 0x00C00000, 0, true, ShowNormal, 0, true, WindowCentring::None},
    {"the application's window", 0x90CE0001, 0x80CE0000, 0, true, ShowNormal, 0, true, WindowCentring::Screen},
    {"centring bits only: captioned", 0x00000003, 0x00C00000, 0, false, ShowNormal, 0, true, WindowCentring::Screen},
    {"centre on owner", 0x80000002, 0x80000000, 0, false, ShowNormal, 0, true, WindowCentring::Owner},
    {"no gadget list alone: captioned", 0x00000008, 0x00C00000, 0, false, ShowNormal, 0, false, WindowCentring::None},
    {"popup keeps its style, no caption added", 0x80000000, 0x80000000, 0, false, ShowNormal, 0, true, WindowCentring::None},
    {"maximized", 0x01CF0000, 0x01CF0000, 0, false, ShowMaximized, 1, true, WindowCentring::None},
    {"maximized without activation", 0x03CF0000, 0x01CF0000, 0, false, ShowNotActivated, 1, true, WindowCentring::None},
    {"minimized", 0x20CF0000, 0x20CF0000, 0, false, ShowMinimized, 1, true, WindowCentring::None},
    {"minimized without activation", 0x22CF0000, 0x20CF0000, 0, false, ShowMinNoActive, 1, true, WindowCentring::None},
    {"both start states: maximized wins", 0x21CF0000, 0x21CF0000, 0, false, ShowMaximized, 1, true, WindowCentring::None},
    {"no activation", 0x02000000, 0x00000000, 0, false, ShowNoActivate, 0, true, WindowCentring::None},
    {"tool frame drops boxes and start states", 0x21CF0004, 0x00CC0000, 0x80, false, ShowNormal, 0, true,
     WindowCentring::None},
    {"tool frame adds a caption to a popup", 0x80000004, 0x80C00000, 0x80, false, ShowNormal, 0, true,
     WindowCentring::None},
    {"tool frame, hidden, no gadget list", 0x1000000C, 0x00C00000, 0x80, true, ShowNormal, 0, false,
     WindowCentring::None},
};

TEST(WindowFlagsTest, TranslatesIntoStyleAndShowing) {
  for (const FlagCase& c : FlagCases) {
    SCOPED_TRACE(c.name);
    const WindowFlagTranslation t = TranslateWindowFlags(c.flags);
    EXPECT_EQ(t.style, c.style);
    EXPECT_EQ(t.extendedStyle, c.extendedStyle);
    EXPECT_EQ(t.hidden, c.hidden);
    EXPECT_EQ(t.showCommand, c.showCommand);
    EXPECT_EQ(t.sizeState, c.sizeState);
    EXPECT_EQ(t.gadgetListWanted, c.gadgetList);
    EXPECT_EQ(t.centring, c.centring);
  }
}

TEST(WindowPositionTest, IgnoreValueAsksForTheDefaultPosition) {
  const WindowPoint fromX = WindowCreatePosition(IgnoreValue, 40, 0);
  EXPECT_EQ(fromX.x, UseDefaultPosition);
  EXPECT_EQ(fromX.y, UseDefaultPosition);
  // x alone decides even for a centred window.
  EXPECT_EQ(WindowCreatePosition(IgnoreValue, 40, WindowCentreScreen).x, UseDefaultPosition);
  EXPECT_EQ(WindowCreatePosition(30, IgnoreValue, 0).x, UseDefaultPosition);
  // A centred window is moved anyway, so an ignored y alone keeps the given values.
  const WindowPoint centred = WindowCreatePosition(30, IgnoreValue, WindowCentreOwner);
  EXPECT_EQ(centred.x, 30);
  EXPECT_EQ(centred.y, IgnoreValue);
  EXPECT_EQ(WindowCreatePosition(150, 150, 0x90CE0001).x, 150);
}

TEST(WindowCentringTest, CentresOnTheWholeScreen) {
  const WindowPoint p = CentreOnScreen(350, 151, 1024, 768);
  EXPECT_EQ(p.x, 337);
  EXPECT_EQ(p.y, 308);
  // Larger than the screen: the corner is the screen's corner.
  const WindowPoint big = CentreOnScreen(2000, 900, 1024, 768);
  EXPECT_EQ(big.x, 0);
  EXPECT_EQ(big.y, 0);
}

TEST(WindowCentringTest, CentresOnAReferenceButNeverAboveOrLeftOfTheScreen) {
  const WindowPoint p = CentreOnWindow(100, 50, WindowRectangle{200, 100, 501, 400});
  EXPECT_EQ(p.x, 200 + (301 - 100) / 2);
  EXPECT_EQ(p.y, 100 + (300 - 50) / 2);
  const WindowPoint clamped = CentreOnWindow(400, 300, WindowRectangle{10, 20, 110, 120});
  EXPECT_EQ(clamped.x, 0);
  EXPECT_EQ(clamped.y, 0);
  // Halves round toward zero: (-7) / 2 is -3, and 5 + -3 = 2.
  const WindowPoint odd = CentreOnWindow(107, 10, WindowRectangle{5, 0, 105, 10});
  EXPECT_EQ(odd.x, 2);
}

}  // namespace
