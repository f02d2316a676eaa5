// The desktop's clipboard, reached through its command-line tools: xclip on an X display
// (DISPLAY set), wl-copy/wl-paste on a Wayland one (WAYLAND_DISPLAY set). Text crosses as
// UTF-8, pictures as PNG. Without a display or the tools there is no desktop clipboard.
#pragma once
#include <optional>
#include <string>

namespace qz {

// True when a display is set and its clipboard tools are installed.
bool system_clipboard_available();
// The clipboard's text; nothing when there is none or the tool fails.
std::optional<std::u16string> read_system_clipboard();
// Puts text on the clipboard (an empty text empties it); false when the tool fails.
bool write_system_clipboard(const std::u16string& text);
// Pictures cross as PNG: the clipboard's picture, nothing when it holds none.
std::optional<std::string> read_system_clipboard_png();
bool write_system_clipboard_png(const std::string& png);

}  // namespace qz
