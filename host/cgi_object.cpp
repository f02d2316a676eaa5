#include "host/cgi_object.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "com/convert.h"
#include "host/cgi/name_value_lookup.h"
#include "host/cgi/request_body.h"
#include "platform/codepage.h"
#include "platform/output.h"

extern char** environ;

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

bool is_regular_file(int fd) {
  struct stat st{};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// What a descriptor holds for us now: the rest of a file, or what a pipe or terminal has
// waiting (after waiting for the first bytes). Empty at the end of the input.
std::string read_waiting(int fd) {
  size_t n = 0;
  if (is_regular_file(fd)) {
    struct stat st{};
    ::fstat(fd, &st);
    off_t pos = ::lseek(fd, 0, SEEK_CUR);
    n = pos >= 0 && st.st_size > pos ? static_cast<size_t>(st.st_size - pos) : 0;
  } else {
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
    int waiting = 0;
    n = ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0 ? static_cast<size_t>(waiting) : 0;
  }
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

std::vector<std::u16string> process_environment_entries() {
  std::vector<std::u16string> entries;
  for (char** e = environ; e && *e; ++e) entries.push_back(decode_script_bytes(*e));
  return entries;
}

}  // namespace

void CgiObject::init_cgi() {
  environment_ = process_environment_entries();
  if (!body_read_ && cgi::wants_body(environment_)) {
    uint64_t length = cgi::parse_content_length(get_ev(u"CONTENT_LENGTH"));
    // Over the limit the body stays unread (the host answers such a request with 413).
    if (length <= cgi::max_request_size())
      body_ = cgi::read_request_body(length, [](size_t n) { return read_stdin(n); });
    body_read_ = true;
  }
  interpret_request();
  input_all_ = request_.input_all;
  input_all_is_body_ = request_.multipart_body.has_value();
  Ref<Collection> files = this->files();
  for (const auto& [key, value] : request_.files)
    if (!files->find(key)) files->add(Variant(value), key);
}

void CgiObject::interpret_request() {
  int codepage = byte_input_code_page();
  std::u16string content_type = get_ev(u"CONTENT_TYPE");
  // A multipart body already split is the same request again while nothing it was read
  // through has changed; else its bytes are made again and read anew.
  if (request_.multipart_body) {
    if (cgi::wants_body(environment_) && content_type == split_type_ && request_.multipart_body->codepage == codepage)
      return;
    std::string bytes = request_.multipart_body->bytes();
    request_ = {};
    body_ = cgi::BodyBuffer(bytes.size());
    body_.append(bytes);
  }
  try {
    request_ = cgi::interpret_request(environment_, body_.view(), codepage,
                                      [this](size_t offset) { body_.release_below(offset); });
  } catch (...) {
    // Part of the body may be gone already: what is left is no request to read again.
    body_ = {};
    request_ = {};
    throw;
  }
  if (request_.multipart_body) {
    body_ = {};  // the split body holds all of it
    split_type_ = content_type;
  }
}

const Str& CgiObject::input_all() {
  if (input_all_is_body_) {
    input_all_ = request_.multipart_body->text();
    input_all_is_body_ = false;
  }
  return input_all_;
}

std::u16string CgiObject::get_ev(std::u16string_view name) const { return cgi::lookup_value(environment_, name); }

std::u16string CgiObject::get_input(std::u16string_view name) const {
  return cgi::lookup_value(request_.pairs, name);
}

Ref<Collection> CgiObject::files() {
  if (!files_) files_ = make_ref<Collection>();
  return files_;
}

int32_t CgiObject::std_out(const Str& text) {
  if (num_pipe == 0) {
    write_stdout(text);  // buffered; flushed before input is read and at exit
    return 1;
  }
  std::string bytes = text.byte_size() % 2 ? std::string(reinterpret_cast<const char*>(text.bytes()), text.byte_size())
                                           : encode(output_code_page(), text.view());
  return write_all(num_pipe, bytes) ? 1 : 0;
}

int32_t CgiObject::std_in(std::u16string& out) {
  std::string bytes;
  if (num_pipe != 0) {
    bytes = read_waiting(num_pipe);
  } else {
    flush_stdout();  // a prompt written before must be seen
    bytes = is_regular_file(STDIN_FILENO) ? read_stdin_all() : read_stdin_some(SIZE_MAX);
  }
  out = decode(byte_input_code_page(), bytes);
  return bytes.empty() ? 0 : 1;
}

void CgiObject::define(Members<CgiObject>& m) {
  m.method(u"InitCGI", [](CgiObject& c, Args) {
    try {
      c.init_cgi();
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"GetEV", [](CgiObject& c, Args a) {
    try {
      return Variant(c.get_ev(to_u16(a[0])));
    } catch (...) {
      return Variant(std::u16string());
    }
  });
  m.method(u"GetInput", [](CgiObject& c, Args a) {
    try {
      return Variant(c.get_input(to_u16(a[0])));
    } catch (...) {
      return Variant(std::u16string());
    }
  });
  m.property(
      u"strInputAll", [](CgiObject& c, Args) { return Variant(c.input_all()); },
      [](CgiObject& c, Args, const Variant& v) { c.set_input_all(to_str(v)); });
  m.getter(u"Files", [](CgiObject& c, Args) { return Variant(c.files()); });
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
