#include "services/console/console_input.h"

#include <termios.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/output.h"

namespace qz {

namespace {

// Standard input's descriptor as the output module uses it, dropping the bytes it buffered.
int drop_buffered_input() {
  int fd = set_stdin_fd(STDIN_FILENO);
  set_stdin_fd(fd);
  return fd;
}

// A terminal types in the output code page (what it shows is what it sends); anything else
// is read through the lossless ANSI table like all other standard input.
int input_code_page(bool terminal) { return terminal ? output_code_page() : ansi_code_page(); }

// The number of bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t utf8_length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// Restores the terminal's settings when it goes out of scope.
class RawMode {
 public:
  explicit RawMode(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    active_ = ::tcsetattr(fd_, TCSANOW, &raw) == 0;
  }
  ~RawMode() {
    if (active_) ::tcsetattr(fd_, TCSANOW, &saved_);
  }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

}  // namespace

std::optional<std::u16string> read_console_line() {
  // The terminal check must not drop what a pipe already buffered.
  bool terminal = ::isatty(STDIN_FILENO) == 1;
  auto line = read_stdin_line();
  if (!line) return std::nullopt;
  return decode(input_code_page(terminal), *line);
}

std::optional<std::u16string> read_console_key() {
  if (::isatty(STDIN_FILENO) != 1) {
    std::string byte = read_stdin(1);
    if (byte.empty()) return std::nullopt;
    return decode(input_code_page(false), byte);
  }
  flush_stdout();  // the prompt must be visible before the wait
  int fd = drop_buffered_input();
  ::tcflush(fd, TCIFLUSH);
  std::string bytes;
  {
    RawMode raw(fd);
    bytes = read_stdin(1);
    if (!bytes.empty() && resolve_code_page(output_code_page()) == 65001) {
      size_t need = utf8_length(static_cast<unsigned char>(bytes[0]));
      if (need > 1) bytes += read_stdin(need - 1);
    }
  }
  // What one key sent beyond this character (the rest of an escape sequence) is not kept.
  drop_buffered_input();
  if (bytes.empty()) return std::nullopt;
  // One character: a surrogate pair for a key outside the BMP, else the first unit (a cut
  // or invalid sequence decodes to more than one).
  std::u16string text = decode(input_code_page(true), bytes);
  bool pair = text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF;
  return text.substr(0, pair ? 2 : 1);
}

}  // namespace qz
