// The window messages that scripts can subscribe to with AttachMsg. There is no message queue
// under Qt: the toolkit makes each message from the Qt event that corresponds to it, on a
// watched window only, just before the window handles that event itself. ISubclass_WindowProc
// hears the message; the window's own handling happens all the same (its answer is not used).
//
//   number  message          made from                        wParam                lParam
//   2       WM_DESTROY       the window being destroyed       0                     0
//   3       WM_MOVE          QEvent::Move                     0                     x | y << 16 (client origin, screen px)
//   5       WM_SIZE          QEvent::Resize                   0 restored, 1 minimized, 2 maximized
//                                                                                   width | height << 16 (px)
//   6       WM_ACTIVATE      WindowActivate / Deactivate      1 / 0                 0
//   7       WM_SETFOCUS      QEvent::FocusIn                  0                     0
//   8       WM_KILLFOCUS     QEvent::FocusOut                 0                     0
//   15      WM_PAINT         QEvent::Paint                    0                     0
//   16      WM_CLOSE         QEvent::Close (close box)        0                     0
//   24      WM_SHOWWINDOW    QEvent::Show / Hide              1 / 0                 0
//   123     WM_CONTEXTMENU   QEvent::ContextMenu              the window's handle   x | y << 16 (screen px)
//   256     WM_KEYDOWN       QEvent::KeyPress                 key code              1, bit 30 on a repeat
//   257     WM_KEYUP         QEvent::KeyRelease               key code              0xC0000001
//   258     WM_CHAR          QEvent::KeyPress with text       character code        1
//   273     WM_COMMAND       a menu-bar item chosen           item id               0
//   512     WM_MOUSEMOVE     QEvent::MouseMove                key state (MK_*)      x | y << 16 (client px)
//   513/514/515  WM_LBUTTONDOWN/UP/DBLCLK  left button press / release / double click, as WM_MOUSEMOVE
//   516/517/518  WM_RBUTTONDOWN/UP/DBLCLK  right button
//   519/520/521  WM_MBUTTONDOWN/UP/DBLCLK  middle button
//   522     WM_MOUSEWHEEL    QEvent::Wheel                    key state | delta << 16  x | y << 16 (screen px)
//   675     WM_MOUSELEAVE    QEvent::Leave                    0                     0
//
// Key state bits (MK_*): 1 left, 2 right, 4 Shift, 8 Ctrl, 16 middle.
#pragma once
#include <cstdint>

namespace qz::wm {

constexpr int32_t kDestroy = 2, kMove = 3, kSize = 5, kActivate = 6, kSetFocus = 7, kKillFocus = 8, kPaint = 15,
                  kClose = 16, kShowWindow = 24, kContextMenu = 123, kKeyDown = 256, kKeyUp = 257, kChar = 258,
                  kCommand = 273, kMouseMove = 512, kLButtonDown = 513, kLButtonUp = 514, kLButtonDblClk = 515,
                  kRButtonDown = 516, kRButtonUp = 517, kRButtonDblClk = 518, kMButtonDown = 519, kMButtonUp = 520,
                  kMButtonDblClk = 521, kMouseWheel = 522, kMouseLeave = 675;

// Two 16-bit halves in one parameter, as the platform packs points and sizes.
constexpr int32_t make_param(int low, int high) {
  return static_cast<int32_t>((static_cast<uint32_t>(low) & 0xFFFFu) | (static_cast<uint32_t>(high) << 16));
}

}  // namespace qz::wm
