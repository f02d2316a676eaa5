#include "platform/output.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/codepage.h"

namespace qz {
namespace {

constexpr size_t kFlushThreshold = 64 * 1024;
constexpr size_t kReadChunk = 64 * 1024;

struct StdStreams {
  int out_fd = STDOUT_FILENO;
  int in_fd = STDIN_FILENO;
  int out_is_tty = -1;        // unknown until the first write
  std::string out_buffer;
  char16_t pending_high = 0;  // a high surrogate waiting for its partner (UTF-8 output)
  std::string in_buffer;
  size_t in_pos = 0;
  bool in_eof = false;
  bool out_closed = false;    // the process started without descriptor 1
};

void release_pending_high(StdStreams& s);
void flush_at_exit();

StdStreams* g_shared = nullptr;  // another copy's buffers, when the program handed them over

// Never destroyed, so output is still there for the exit handler.
StdStreams& own_streams() {
  static StdStreams* s = [] {
    auto* p = new StdStreams;
    std::atexit(flush_at_exit);
    return p;
  }();
  return *s;
}

StdStreams& streams() { return g_shared ? *g_shared : own_streams(); }

// Writes all bytes, waiting when the descriptor is non-blocking and full.
bool write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, -1) < 0 && errno != EINTR) return false;
    } else {
      return false;
    }
  }
  return true;
}

void after_write(StdStreams& s) {
  if (s.out_is_tty < 0) s.out_is_tty = ::isatty(s.out_fd) ? 1 : 0;
  if (s.out_is_tty == 1 || s.out_buffer.size() >= kFlushThreshold) flush_stdout();
}

std::string encode_output(StdStreams& s, std::u16string_view text, bool hold_split_pair) {
  int cp = output_code_page();
  if (cp != 65001) return encode(cp, text);
  std::u16string joined;
  if (s.pending_high) {
    joined.push_back(s.pending_high);
    joined.append(text);
    text = joined;
    s.pending_high = 0;
  }
  // A pair cut between two writes is joined with the next write instead of becoming two U+FFFD.
  if (hold_split_pair && !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
    s.pending_high = text.back();
    text.remove_suffix(1);
  }
  return u16_to_utf8(text);
}

void release_pending_high(StdStreams& s) {
  if (!s.pending_high) return;
  char16_t c = s.pending_high;
  s.pending_high = 0;
  s.out_buffer += u16_to_utf8(std::u16string_view(&c, 1));
}

void flush_at_exit() {
  release_pending_high(streams());
  flush_stdout();
}

// Blocks for more input; false at the end of input or on an error.
bool fill_input(StdStreams& s) {
  if (s.in_eof) return false;
  flush_stdout();
  if (s.in_pos > 0) {
    s.in_buffer.erase(0, s.in_pos);
    s.in_pos = 0;
  }
  size_t old = s.in_buffer.size();
  s.in_buffer.resize(old + kReadChunk);
  ssize_t n;
  do n = ::read(s.in_fd, s.in_buffer.data() + old, kReadChunk);
  while (n < 0 && errno == EINTR);
  s.in_buffer.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
  if (n <= 0) s.in_eof = true;
  return n > 0;
}

}  // namespace

void write_stdout(const Str& text) {
  if (text.byte_size() % 2 != 0) {
    write_stdout_bytes(std::string_view(reinterpret_cast<const char*>(text.bytes()), text.byte_size()));
    return;
  }
  write_stdout_text(text.view());
}

void write_stdout_text(std::u16string_view text) {
  StdStreams& s = streams();
  s.out_buffer += encode_output(s, text, true);
  after_write(s);
}

void write_stdout_bytes(std::string_view bytes) {
  StdStreams& s = streams();
  release_pending_high(s);
  s.out_buffer.append(bytes);
  after_write(s);
}

bool flush_stdout() {
  StdStreams& s = streams();
  if (s.out_buffer.empty()) return true;
  bool ok = write_all(s.out_fd, s.out_buffer.data(), s.out_buffer.size());
  s.out_buffer.clear();
  return ok;
}

void write_stderr(std::u16string_view text) {
  StdStreams& s = streams();
  release_pending_high(s);
  flush_stdout();
  std::string bytes = encode(output_code_page(), text);
  write_all(STDERR_FILENO, bytes.data(), bytes.size());
}

std::string read_stdin(size_t max_bytes) {
  StdStreams& s = streams();
  while (s.in_buffer.size() - s.in_pos < max_bytes && fill_input(s)) {}
  size_t n = std::min(max_bytes, s.in_buffer.size() - s.in_pos);
  std::string out = s.in_buffer.substr(s.in_pos, n);
  s.in_pos += n;
  return out;
}

std::optional<std::string> read_stdin_line() {
  StdStreams& s = streams();
  size_t searched = s.in_pos;
  for (;;) {
    size_t lf = s.in_buffer.find('\n', searched);
    if (lf != std::string::npos) {
      std::string line = s.in_buffer.substr(s.in_pos, lf - s.in_pos);
      s.in_pos = lf + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    size_t before = s.in_buffer.size() - s.in_pos;
    if (!fill_input(s)) break;
    searched = s.in_pos + before;  // fill_input may have moved the unread bytes to the front
  }
  if (s.in_pos >= s.in_buffer.size()) return std::nullopt;
  std::string line = s.in_buffer.substr(s.in_pos);
  s.in_pos = s.in_buffer.size();
  return line;
}

std::string read_stdin_all() {
  StdStreams& s = streams();
  while (fill_input(s)) {}
  std::string out = s.in_buffer.substr(s.in_pos);
  s.in_buffer.clear();
  s.in_pos = 0;
  return out;
}

std::string read_stdin_some(size_t max_bytes) {
  StdStreams& s = streams();
  if (s.in_pos >= s.in_buffer.size()) fill_input(s);
  size_t n = std::min(max_bytes, s.in_buffer.size() - s.in_pos);
  std::string out = s.in_buffer.substr(s.in_pos, n);
  s.in_pos += n;
  return out;
}

void claim_closed_stdout() {
  if (::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF) return;
  int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (fd >= 0 && fd != STDOUT_FILENO) {
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
  }
  streams().out_closed = true;
}

bool stdout_available() { return !streams().out_closed && ::fcntl(STDOUT_FILENO, F_GETFD) != -1; }

void* stdio_state() { return &own_streams(); }

void share_stdio_state(void* state) {
  // Whatever this copy buffered so far goes out before the other copy's buffers take over.
  release_pending_high(streams());
  flush_stdout();
  g_shared = state == &own_streams() ? nullptr : static_cast<StdStreams*>(state);
}

int set_stdout_fd(int fd) {
  StdStreams& s = streams();
  release_pending_high(s);
  flush_stdout();
  int old = s.out_fd;
  s.out_fd = fd;
  s.out_is_tty = -1;
  return old;
}

int set_stdin_fd(int fd) {
  StdStreams& s = streams();
  int old = s.in_fd;
  s.in_fd = fd;
  s.in_buffer.clear();
  s.in_pos = 0;
  s.in_eof = false;
  return old;
}

}  // namespace qz
