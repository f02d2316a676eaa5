#include "host/cgi_object.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "com/convert.h"
#include "platform/codepage.h"
#include "platform/output.h"

namespace qz {

namespace {

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The bytes the input holds for us now: the rest of a file, or what a pipe or terminal has
// waiting (after waiting for the first to arrive). 0 at the end of the input.
size_t bytes_waiting(int fd) {
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    off_t pos = ::lseek(fd, 0, SEEK_CUR);
    return pos >= 0 && st.st_size > pos ? static_cast<size_t>(st.st_size - pos) : 0;
  }
  int n = 0;
  if (::ioctl(fd, FIONREAD, &n) == 0 && n > 0) return static_cast<size_t>(n);
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
  }
  if (::ioctl(fd, FIONREAD, &n) == 0 && n > 0) return static_cast<size_t>(n);
  return 0;
}

std::string read_fd(int fd, size_t n) {
  std::string out(n, '\0');
  size_t got = 0;
  while (got < n) {
    ssize_t r = ::read(fd, out.data() + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  out.resize(got);
  return out;
}

}  // namespace

int32_t CgiObject::std_out(const Str& text) {
  if (num_pipe == 0) {
    write_stdout(text);
    return 1;
  }
  std::string bytes = text.byte_size() % 2 ? std::string(reinterpret_cast<const char*>(text.bytes()), text.byte_size())
                                           : encode(output_code_page(), text.view());
  return write_all(num_pipe, bytes) ? 1 : 0;
}

int32_t CgiObject::std_in(std::u16string& out) {
  const int fd = num_pipe ? num_pipe : STDIN_FILENO;
  if (fd == STDIN_FILENO) flush_stdout();  // a prompt written before must be seen
  size_t n = bytes_waiting(fd);
  if (n == 0) {
    out.clear();
    return 0;
  }
  std::string bytes = fd == STDIN_FILENO ? read_stdin(n) : read_fd(fd, n);
  out = decode(ansi_code_page(), bytes);
  if (bytes.size() < n) out.append(n - bytes.size(), u' ');  // the buffer's length, as asked
  return 1;
}

void CgiObject::define(Members<CgiObject>& m) {
  m.method(u"StdOut", [](CgiObject& c, Args a) {
    try {
      return Variant(c.std_out(to_str(a[0])));
    } catch (...) {
      return Variant(int32_t{0});
    }
  });
  m.method(u"StdIn", [](CgiObject& c, Args a) {
    std::u16string text;
    int32_t ok = 0;
    try {
      ok = c.std_in(text);
      if (a.size() > 0) a.ref(0) = Variant(text);
    } catch (...) {
    }
    return Variant(ok);
  });
  m.property(
      u"numPipe", [](CgiObject& c, Args) { return Variant(c.num_pipe); },
      [](CgiObject& c, Args, const Variant& v) { c.num_pipe = to_long(v); });
}

}  // namespace qz
