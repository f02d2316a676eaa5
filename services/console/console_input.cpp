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

// Console input is text: typed or piped, it decodes with the page the console writes in, so a
// line read and printed again comes out as it came in.
int input_code_page() { return output_code_page(); }

// The first character of one key's bytes: a surrogate pair for a key outside the BMP, else the
// first unit (a cut or invalid sequence decodes to more than one).
std::u16string first_character(const std::string& bytes) {
  std::u16string text = decode(input_code_page(), bytes);
  bool pair = text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF;
  return text.substr(0, pair ? 2 : 1);
}

// The number of bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t utf8_length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// One key's bytes: a byte, and the rest of its UTF-8 sequence when the console writes UTF-8.
std::string read_key_bytes() {
  std::string bytes = read_stdin(1);
  if (!bytes.empty() && resolve_code_page(input_code_page()) == 65001) {
    size_t need = utf8_length(static_cast<unsigned char>(bytes[0]));
    if (need > 1) bytes += read_stdin(need - 1);
  }
  return bytes;
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
  auto line = read_stdin_line();
  if (!line) return std::nullopt;
  return decode(input_code_page(), *line);
}

std::optional<std::u16string> read_console_key() {
  if (::isatty(STDIN_FILENO) != 1) {
    std::string bytes = read_key_bytes();
    if (bytes.empty()) return std::nullopt;
    return first_character(bytes);
  }
  flush_stdout();  // the prompt must be visible before the wait
  int fd = drop_buffered_input();
  ::tcflush(fd, TCIFLUSH);
  std::string bytes;
  {
    RawMode raw(fd);
    bytes = read_key_bytes();
  }
  // What one key sent beyond this character (the rest of an escape sequence) is not kept.
  drop_buffered_input();
  if (bytes.empty()) return std::nullopt;
  return first_character(bytes);
}

}  // namespace qz
