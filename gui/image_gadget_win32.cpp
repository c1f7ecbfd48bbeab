// The image gadget on Win32: a "STATIC" control with SS_NOTIFY, subclassed so that it
// paints the picture itself, takes the picture's size, lets the window show through
// transparent parts, and reports presses, double-clicks and drags.
#include "gui/image_gadget.h"

#include <windows.h>

#include "gui/gadget_list_win32.h"
#include "gui/image_gadget_logic.h"
#include "gui/image_gadget_win32.h"
#include "gui/window_procedures_win32.h"
#include "image/bitmap_alpha.h"
#include "runtime/heaps.h"

namespace {

constexpr UINT RedrawControlNow = RDW_INVALIDATE | RDW_UPDATENOW;
constexpr UINT RedrawWindowBehind = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// Shared by every image gadget of the process.
bool DragThresholdsRead = false;
int DragThresholdX = 0;
int DragThresholdY = 0;
LONG_PTR StaticProcedure = 0;      // the static class's own procedure, where messages go on
bool AfterRightDoubleClick = false;  // swallows the release that ends a right double-click

NativeHandle& Field(GadgetRecord* record, ImageGadgetField field) { return record->kindFields[field]; }

GadgetRecord* RecordOf(HWND control) {
  return static_cast<GadgetRecord*>(ObjectGet(GadgetTable, GetWindowLongPtrW(control, GWLP_ID)));
}

LRESULT PassOn(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallPreviousProcedure(StaticProcedure, control, message, wParam, lParam);
}

void ReleaseAlphaCopy(GadgetRecord* record) {
  if (Field(record, ImageFieldAlphaCopy) == 0) return;
  BitmapFreeAlphaCopy(Field(record, ImageFieldAlphaCopy));
  Field(record, ImageFieldAlphaCopy) = 0;
}

bool IsBitmap(NativeHandle image) { return GetObjectType(reinterpret_cast<HGDIOBJ>(image)) == OBJ_BITMAP; }

// The picture's own size; false when the handle describes neither a bitmap nor an icon.
bool PictureSize(NativeHandle image, ImageSize* size) {
  if (IsBitmap(image)) {
    BITMAP bitmap{};
    if (GetObjectA(reinterpret_cast<HGDIOBJ>(image), sizeof bitmap, &bitmap) == 0) return false;
    *size = {bitmap.bmWidth, bitmap.bmHeight};
    return true;
  }
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(image), &info)) return false;
  BITMAP bitmap{};
  bool found = false;
  if (info.hbmColor != nullptr && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) != 0) {
    *size = {bitmap.bmWidth, bitmap.bmHeight};
    found = true;
  } else if (info.hbmMask != nullptr && GetObjectA(info.hbmMask, sizeof bitmap, &bitmap) != 0) {
    // A monochrome icon keeps its AND and XOR masks one above the other in one bitmap.
    *size = {bitmap.bmWidth, bitmap.bmHeight / 2};
    found = true;
  }
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return found;
}

// Draws the picture at its own size at the control's top-left corner. The background is
// left alone: the window behind shows through what the picture does not cover.
void DrawPicture(GadgetRecord* record, HDC dc) {
  const NativeHandle image = Field(record, ImageFieldImage);
  if (dc == nullptr || image == 0) return;
  if (Field(record, ImageFieldAlphaCopy) != 0) {
    BitmapDrawAlpha(reinterpret_cast<NativeHandle>(dc), 0, 0, 0, 0, Field(record, ImageFieldAlphaCopy), 0, 255);
    return;
  }
  DrawStateA(dc, nullptr, nullptr, static_cast<LPARAM>(image), 0, 0, 0, 0, 0, IsBitmap(image) ? DST_BITMAP : DST_ICON);
}

LRESULT Paint(GadgetRecord* record, HWND control) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control, &paint);
  DrawPicture(record, dc);
  EndPaint(control, &paint);
  return 0;
}

NativeHandle SetPicture(GadgetRecord* record, HWND control, NativeHandle image) {
  Field(record, ImageFieldImage) = image;
  ReleaseAlphaCopy(record);
  const bool hasAlpha = image != 0 && BitmapHasAlpha(image) != 0;
  if (hasAlpha) Field(record, ImageFieldAlphaCopy) = BitmapPremultiply(image, 0);
  RedrawBehindGadget(record, reinterpret_cast<NativeHandle>(control));
  if (image == 0) return image;  // no picture: the control keeps its size

  ImageSize picture{};
  if (PictureSize(image, &picture)) {
    const ImageSize outer =
        ImageControlSize(picture.width, picture.height, static_cast<std::uint32_t>(GetWindowLongW(control, GWL_STYLE)),
                         static_cast<std::uint32_t>(GetWindowLongW(control, GWL_EXSTYLE)));
    SetWindowPos(control, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE | SWP_NOZORDER);
  }
  if (!hasAlpha) {
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
  }
  return image;
}

LRESULT LeftButtonDown(GadgetRecord* record, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Field(record, ImageFieldButtonDown) = 1;
  Field(record, ImageFieldPressPosition) = lParam;
  SetCapture(control);
  return PassOn(control, message, wParam, lParam);
}

LRESULT MouseMove(GadgetRecord* record, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Field(record, ImageFieldButtonDown) != 0 &&
      IsDragStart(Field(record, ImageFieldPressPosition), lParam, DragThresholdX, DragThresholdY)) {
    Field(record, ImageFieldButtonDown) = 0;
    ReleaseCapture();
    GadgetEventPost(reinterpret_cast<NativeHandle>(control), GadgetTypeDragStart);
  }
  return PassOn(control, message, wParam, lParam);
}

LRESULT LeftButtonUp(GadgetRecord* record, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Field(record, ImageFieldButtonDown) != 0) {
    Field(record, ImageFieldButtonDown) = 0;
    ReleaseCapture();
  }
  return PassOn(control, message, wParam, lParam);
}

LRESULT RightButtonUp(HWND control) {
  if (AfterRightDoubleClick) AfterRightDoubleClick = false;
  else GadgetEventPost(reinterpret_cast<NativeHandle>(control), ImageEventRightRelease);
  return 0;
}

LRESULT RightDoubleClick(HWND control) {
  GadgetEventPost(reinterpret_cast<NativeHandle>(control), ImageEventRightDoubleClick);
  AfterRightDoubleClick = true;
  return 0;
}

}  // namespace

const GadgetKind ImageGadgetKind = {nullptr, ReleaseAlphaCopy};

LRESULT CALLBACK ImageGadgetProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  GadgetRecord* record = RecordOf(control);
  // Until the gadget layer has taken the control over there is nothing of ours to do.
  if (record == nullptr) return PassOn(control, message, wParam, lParam);
  switch (message) {
    case WM_MOVE:
      RedrawBehindGadget(record, reinterpret_cast<NativeHandle>(control));
      return PassOn(control, message, wParam, lParam);
    case WM_ENABLE: RedrawWindow(control, nullptr, nullptr, RedrawControlNow); return 0;
    case WM_PAINT: return Paint(record, control);
    case WM_PRINT:
    case WM_PRINTCLIENT: DrawPicture(record, reinterpret_cast<HDC>(wParam)); return 0;
    case STM_SETIMAGE:
    case STM_SETICON: return SetPicture(record, control, lParam);
    case STM_GETIMAGE:
    case STM_GETICON: return Field(record, ImageFieldImage);
    case WM_LBUTTONDOWN: return LeftButtonDown(record, control, message, wParam, lParam);
    case WM_MOUSEMOVE: return MouseMove(record, control, message, wParam, lParam);
    case WM_LBUTTONUP: return LeftButtonUp(record, control, message, wParam, lParam);
    // Kept from the static control, which would report it as a second kind of click.
    case WM_LBUTTONDBLCLK: GadgetEventPost(reinterpret_cast<NativeHandle>(control), ImageEventDoubleClick); return 0;
    case WM_RBUTTONUP: return RightButtonUp(control);
    case WM_RBUTTONDBLCLK: return RightDoubleClick(control);
    default: return PassOn(control, message, wParam, lParam);
  }
}

void RedrawBehindGadget(GadgetRecord* record, NativeHandle controlHandle) {
  const NativeHandle image = Field(record, ImageFieldImage);
  // An opaque bitmap covers the whole control: nothing behind it can show.
  if (image != 0 && IsBitmap(image) && Field(record, ImageFieldAlphaCopy) == 0) return;
  auto control = reinterpret_cast<HWND>(controlHandle);
  auto owner = reinterpret_cast<HWND>(OwningWindow(controlHandle));
  RECT area{};
  if (!GetWindowRect(control, &area)) return;
  POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
  ScreenToClient(owner, &corners[0]);
  ScreenToClient(owner, &corners[1]);
  const RECT behind = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  RedrawWindow(owner, &behind, nullptr, RedrawWindowBehind);
}

NativeHandle ImageGadgetCreate(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, NativeHandle image, std::uint32_t flags) {
  if (!DragThresholdsRead) {
    DragThresholdX = GetSystemMetrics(SM_CXDRAG);
    DragThresholdY = GetSystemMetrics(SM_CYDRAG);
    DragThresholdsRead = true;
  }
  const ImageBorderStyles border = ImageBorderFromFlags(flags);
  HWND control = CreateWindowExA(border.extendedStyle, "STATIC", nullptr, ImageControlStyle | border.style, x, y,
                                 width, height, reinterpret_cast<HWND>(GadgetListUse(0)),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                 reinterpret_cast<HINSTANCE>(InstanceHandle), nullptr);
  if (control == nullptr) return 0;
  // Every static control has the same class procedure, so one saved copy serves them all.
  StaticProcedure =
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ImageGadgetProcedure));
  auto* record = static_cast<GadgetRecord*>(ObjectNew(GadgetTable, number));
  if (record == nullptr) {
    DestroyWindow(control);
    return 0;
  }
  const NativeHandle result = GadgetRegister(number, record, reinterpret_cast<NativeHandle>(control), &ImageGadgetKind);
  SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, static_cast<LPARAM>(image));
  return result;
}
