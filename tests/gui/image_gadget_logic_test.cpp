// The image gadget's decisions: borders from flags, the control's size, the drag test.
#include <gtest/gtest.h>

#include "gui/image_gadget.h"
#include "gui/image_gadget_logic.h"

namespace {

std::intptr_t Position(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                    static_cast<std::uint16_t>(x));
}

TEST(ImageGadgetLogic, BorderFlagsChooseOneBorderAndSunkenWins) {
  struct Case {
    std::uint32_t flags;
    std::uint32_t style;
    std::uint32_t extendedStyle;
  };
  const Case cases[] = {
      {0, 0, 0},
      {ImageBorderRaised, 0x00400000, 0},
      {ImageBorderSunken, 0, 0x200},
      {ImageBorderSunken | ImageBorderRaised, 0, 0x200},
      {0x2, 0, 0},  // other bits add no border
  };
  for (const Case& c : cases) {
    const ImageBorderStyles styles = ImageBorderFromFlags(c.flags);
    EXPECT_EQ(styles.style, c.style) << c.flags;
    EXPECT_EQ(styles.extendedStyle, c.extendedStyle) << c.flags;
  }
}

TEST(ImageGadgetLogic, EitherBorderAddsFourPixelsToBothSides) {
  struct Case {
    std::uint32_t style;
    std::uint32_t extendedStyle;
    ImageSize expected;
  };
  const Case cases[] = {
      {ImageControlStyle, 0, {200, 50}},
      {ImageControlStyle, 0x200, {204, 54}},
      {ImageControlStyle | 0x00400000, 0, {204, 54}},
      {ImageControlStyle | 0x00800000, 0x1, {200, 50}},  // WS_BORDER and WS_EX_DLGMODALFRAME are not ours
  };
  for (const Case& c : cases) {
    const ImageSize size = ImageControlSize(200, 50, c.style, c.extendedStyle);
    EXPECT_EQ(size.width, c.expected.width) << c.style << " " << c.extendedStyle;
    EXPECT_EQ(size.height, c.expected.height) << c.style << " " << c.extendedStyle;
  }
}

TEST(ImageGadgetLogic, MouseCoordinatesAreSigned16BitHalves) {
  EXPECT_EQ(MouseX(Position(-3, 7)), -3);
  EXPECT_EQ(MouseY(Position(-3, 7)), 7);
  EXPECT_EQ(MouseX(Position(32767, -32768)), 32767);
  EXPECT_EQ(MouseY(Position(32767, -32768)), -32768);
}

TEST(ImageGadgetLogic, DragStartsOnlyBeyondAThresholdOnEitherAxis) {
  struct Case {
    int x, y;
    bool drag;
  };
  // Pressed at (10, 10) with thresholds 4 across and 2 down.
  const Case cases[] = {
      {10, 10, false}, {14, 10, false}, {6, 12, false}, {14, 8, false},  // on the limits
      {15, 10, true},  {5, 10, true},   {10, 13, true}, {10, 7, true},
      {-20, 10, true},  // left of the control, captured
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDragStart(Position(10, 10), Position(c.x, c.y), 4, 2), c.drag) << c.x << "," << c.y;
  }
}

}  // namespace
