#include "platform/qt/window_styles.h"

#include <QVariant>

namespace qz {

namespace {

// The switches, kept on the window as one number; unset ones have their start values.
constexpr const char* kStyleProperty = "quazelFrameParts";
constexpr int kParts = 8;
constexpr bool kStartValues[kParts] = {false, true, true, true, true, true, true, true};

int bit(WindowStylePart p) { return 1 << static_cast<int>(p); }

int parts_of(const QWidget& w) {
  QVariant v = w.property(kStyleProperty);
  if (v.isValid()) return v.toInt();
  int parts = 0;
  for (int i = 0; i < kParts; ++i)
    if (kStartValues[i]) parts |= 1 << i;
  return parts;
}

}  // namespace

Qt::WindowFlags window_style_flags(const QWidget& window) {
  const int parts = parts_of(window);
  auto has = [parts](WindowStylePart p) { return (parts & bit(p)) != 0; };
  // Qt reads "customised" together with "frameless" as a title bar: only a window with a title
  // bar says which buttons it has.
  Qt::WindowFlags f = Qt::Window;
  if (has(WindowStylePart::TitleBar)) f |= Qt::CustomizeWindowHint;
  // No taskbar button: the desktop keeps tool windows off the taskbar.
  if (has(WindowStylePart::ToolWindow) || !has(WindowStylePart::TaskBar)) f |= Qt::Tool;
  if (has(WindowStylePart::TitleBar)) f |= Qt::WindowTitleHint;
  else f |= Qt::FramelessWindowHint;
  if (has(WindowStylePart::ControlBox)) {
    f |= Qt::WindowSystemMenuHint;
    if (has(WindowStylePart::MinButton)) f |= Qt::WindowMinimizeButtonHint;
    if (has(WindowStylePart::MaxButton)) f |= Qt::WindowMaximizeButtonHint;
    if (has(WindowStylePart::CloseButton)) f |= Qt::WindowCloseButtonHint;
  }
  if (!has(WindowStylePart::SizeBorder)) f |= Qt::MSWindowsFixedSizeDialogHint;
  return f;
}

void apply_window_style(QWidget& window, WindowStylePart part, bool on) {
  int parts = parts_of(window);
  parts = on ? (parts | bit(part)) : (parts & ~bit(part));
  window.setProperty(kStyleProperty, parts);
  // New flags hide a window: it comes back as it was, and a taskbar change always shows it.
  const bool show = window.isVisible() || part == WindowStylePart::TaskBar;
  const QRect where = window.geometry();
  window.setWindowFlags(window_style_flags(window));
  window.setGeometry(where);
  if (show) window.show();
}

}  // namespace qz
