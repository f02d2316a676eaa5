// The dialogs the toolkit shows on a display: message and input boxes, the common dialogs
// (font, colour, folder, open, save, printer), the script error dialog with its details, and
// the About box. The engine decides whether to ask them (a display, UI allowed, no queued test
// answer: platform/dialogs.h); they always show and wait for the user.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qz {

struct FontSpec {
  std::u16string name;
  double size = 0;  // points
  int16_t weight = 400;
  bool italic = false, underline = false, strikethrough = false;
};

struct FileDialogRequest {
  bool save = false;
  std::u16string filter;  // "Text|*.txt|All|*.*"
  std::u16string title, initial_folder, default_extension, file_name;
  int32_t filter_index = 0;  // 1-based; 0 takes the first
};

struct PrinterSetup {
  std::u16string device;
  int16_t copies = 1, orientation = 1, duplex = 1;  // orientation 1 portrait, 2 landscape
};

// The error dialog's texts, built by the engine in its language.
struct ScriptErrorReport {
  std::u16string caption;                  // "Quazel"
  std::u16string intro, lost_work, tell, created, see, click_here;  // Label1 .. Label6
  std::u16string send, dont_send;          // the two buttons
  std::u16string header, type, code, source_lines;
  std::u16string mail_link;                // "mailto:...?subject=...&body=..."
  // The details window.
  std::u16string details_caption, details_title, details_code, details_version, details_close;
};

struct AboutBoxTexts {
  std::u16string caption, title, version, description, contacts, maker, ok;
  std::u16string web_address, help_file;
};

class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // The button pressed (1 OK ... 7 No), for the MsgBox style `buttons` (buttons, icon, default).
  virtual int message_box(std::u16string_view prompt, int buttons, std::u16string_view title) = 0;
  // The text confirmed; nullopt when cancelled.
  virtual std::optional<std::u16string> input_box(std::u16string_view prompt, std::u16string_view title,
                                                  std::u16string_view default_text) = 0;

  // nullopt when cancelled. `color` (0x00BBGGRR) goes in and, when confirmed, comes back.
  virtual std::optional<FontSpec> choose_font(const FontSpec& initial, int32_t& color) = 0;
  // `custom` holds the 16 custom colours in and out (also when cancelled).
  virtual std::optional<int32_t> choose_color(std::array<int32_t, 16>& custom) = 0;
  virtual std::optional<std::u16string> choose_folder(std::u16string_view title) = 0;
  virtual std::optional<std::u16string> choose_file(const FileDialogRequest& request) = 0;
  // The printers to choose from and the setup of the current one; nullopt when cancelled.
  virtual std::optional<PrinterSetup> choose_printer(const PrinterSetup& current,
                                                     const std::vector<std::u16string>& printers) = 0;

  // Shows the error dialog and waits until it is closed; `send` opens the mail link.
  virtual void show_script_error(const ScriptErrorReport& report, std::function<void(const std::u16string&)> send) = 0;
  // Shows the About box without waiting; `closed` runs once it has been closed, `open` opens
  // a web address or file with the desktop's handler.
  virtual void show_about_box(const AboutBoxTexts& texts, std::function<void(const std::u16string&)> open,
                              std::function<void()> closed) = 0;
};

}  // namespace qz
