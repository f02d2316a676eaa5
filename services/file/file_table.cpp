#include "services/file/file_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "com/convert.h"
#include "com/error.h"
#include "com/str.h"
#include "platform/codepage.h"
#include "services/file/file_errors.h"

namespace qz {

namespace {

int64_t file_size(int fd) {
  struct stat st{};
  if (::fstat(fd, &st) != 0) raise_os_error(errno);
  return st.st_size;
}

void write_all(int fd, int64_t at, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) raise_os_error(n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
}

// Reads up to `count` bytes at `at`; fewer only at the end of the file.
std::string read_some(int fd, int64_t at, size_t count) {
  std::string out(count, '\0');
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, out.data() + done, count - done, at + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) raise_os_error(errno);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  out.resize(done);
  return out;
}

// A field's bytes (ANSI page) as the value the input statement gives a Variant.
Variant typed_field(std::string_view bytes, bool quoted) {
  std::u16string u = decode(ansi_code_page(), bytes);
  if (quoted) return Variant(u);
  if (u.empty()) return Variant();
  if (u == u"#TRUE#") return Variant(true);
  if (u == u"#FALSE#") return Variant(false);
  if (u == u"#NULL#") return Variant::null();
  if (u.size() > 2 && u.front() == u'#' && u.back() == u'#') {
    double serial = 0;
    if (parse_date(std::u16string_view(u).substr(1, u.size() - 2), serial)) return Variant::date(serial);
  }
  double d = 0;
  if (parse_number(u, d)) {
    if (d >= -32768.0 && d <= 32767.0 && d == static_cast<int16_t>(d)) return Variant(static_cast<int16_t>(d));
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == static_cast<int32_t>(d)) return Variant(static_cast<int32_t>(d));
    return Variant(d);
  }
  return Variant(u);
}

}  // namespace

FileTable& file_table() {
  static FileTable table;
  return table;
}

FileTable::~FileTable() { close_all(); }

FileTable::Entry& FileTable::get(int number) {
  if (number < 1 || number > kMaxNumber || entries_[number].fd < 0) raise(kErrBadFileNumber);
  return entries_[number];
}

FileTable::Entry& FileTable::readable(int number) {
  Entry& e = get(number);
  if (e.mode == FileMode::Output || e.mode == FileMode::Append) raise(kErrBadFileMode);
  return e;
}

FileTable::Entry& FileTable::writable(int number) {
  Entry& e = get(number);
  if (e.mode == FileMode::Input) raise(kErrBadFileMode);
  return e;
}

bool FileTable::is_open(int number) const {
  return number >= 1 && number <= kMaxNumber && entries_[number].fd >= 0;
}

void FileTable::open(int number, const std::string& os_path, FileMode mode) {
  if (number < 1 || number > kMaxNumber) raise(kErrBadFileNumber);
  if (entries_[number].fd >= 0) raise(kErrFileOpen);
  if (os_path.empty()) raise(kErrPathAccess);
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::Input: flags |= O_RDONLY; break;
    case FileMode::Output: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case FileMode::Append: flags |= O_WRONLY | O_CREAT; break;
    case FileMode::Binary: flags |= O_RDWR | O_CREAT; break;
  }
  int fd = ::open(os_path.c_str(), flags, 0666);
  if (fd < 0 && mode == FileMode::Binary && (errno == EACCES || errno == EROFS)) fd = ::open(os_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) raise_os_error(errno);
  struct stat st{};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    raise(kErrPathAccess);
  }
  entries_[number] = Entry{fd, mode, mode == FileMode::Append ? static_cast<int64_t>(st.st_size) : 0};
}

void FileTable::close(int number) {
  if (!is_open(number)) return;
  ::close(entries_[number].fd);
  entries_[number] = Entry{};
}

void FileTable::close_all() {
  for (int i = 1; i <= kMaxNumber; ++i) close(i);
}

int FileTable::free_number() const {
  for (int i = 1; i <= kFreeLimit; ++i)
    if (entries_[i].fd < 0) return i;
  raise(kErrTooManyFiles);
}

bool FileTable::eof(int number) {
  Entry& e = get(number);
  return e.pos >= file_size(e.fd);
}

int64_t FileTable::length(int number) { return file_size(get(number).fd); }

int64_t FileTable::location(int number) {
  Entry& e = get(number);
  return e.mode == FileMode::Binary ? e.pos : e.pos / 128;
}

int64_t FileTable::position(int number) { return get(number).pos + 1; }

void FileTable::seek(int number, int64_t position) {
  Entry& e = get(number);
  if (position < 1) raise(kErrBadRecordNumber);
  e.pos = position - 1;
}

int FileTable::peek(Entry& e) {
  std::string b = read_some(e.fd, e.pos, 1);
  return b.empty() ? -1 : static_cast<unsigned char>(b[0]);
}

std::string FileTable::read_line(int number) {
  Entry& e = readable(number);
  std::string line;
  bool any = false;
  for (;;) {
    std::string chunk = read_some(e.fd, e.pos, 4096);
    if (chunk.empty()) break;
    any = true;
    size_t end = chunk.find_first_of("\r\n");
    if (end == std::string::npos) {
      line += chunk;
      e.pos += static_cast<int64_t>(chunk.size());
      continue;
    }
    line.append(chunk, 0, end);
    e.pos += static_cast<int64_t>(end) + 1;
    if (chunk[end] == '\r' && peek(e) == '\n') ++e.pos;
    return line;
  }
  if (!any) raise(kErrPastEnd);
  return line;
}

Variant FileTable::read_field(int number) {
  Entry& e = readable(number);
  int c;
  while ((c = peek(e)) == ' ' || c == '\t' || c == '\r' || c == '\n') ++e.pos;
  if (c < 0) raise(kErrPastEnd);
  std::string text;
  bool quoted = c == '"';
  if (quoted) {
    ++e.pos;
    while ((c = peek(e)) >= 0 && c != '"') {
      text.push_back(static_cast<char>(c));
      ++e.pos;
    }
    if (c == '"') ++e.pos;
    while ((c = peek(e)) >= 0 && c != ',' && c != '\r' && c != '\n') ++e.pos;
  } else {
    while ((c = peek(e)) >= 0 && c != ',' && c != '\r' && c != '\n') {
      text.push_back(static_cast<char>(c));
      ++e.pos;
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  }
  if (c == ',') {
    ++e.pos;
  } else if (c == '\r') {
    ++e.pos;
    if (peek(e) == '\n') ++e.pos;
  } else if (c == '\n') {
    ++e.pos;
  }
  return typed_field(text, quoted);
}

void FileTable::write_line(int number, std::string_view bytes) {
  Entry& e = writable(number);
  std::string all(bytes);
  all += "\r\n";
  write_all(e.fd, e.pos, all);
  e.pos += static_cast<int64_t>(all.size());
}

std::string FileTable::read(int number, int64_t position, size_t count) {
  Entry& e = readable(number);
  if (position > 0) e.pos = position - 1;
  std::string out = read_some(e.fd, e.pos, count);
  out.resize(count, '\0');
  e.pos += static_cast<int64_t>(count);
  return out;
}

void FileTable::write(int number, int64_t position, std::string_view bytes) {
  Entry& e = writable(number);
  if (position > 0) e.pos = position - 1;
  write_all(e.fd, e.pos, bytes);
  e.pos += static_cast<int64_t>(bytes.size());
}

void FileTable::lock(int number, bool on) {
  Entry& e = get(number);
  struct flock fl{};
  fl.l_type = static_cast<short>(!on ? F_UNLCK : e.mode == FileMode::Input ? F_RDLCK : F_WRLCK);
  fl.l_whence = SEEK_SET;
  if (::fcntl(e.fd, F_SETLK, &fl) != 0) raise(kErrPermission);
}

}  // namespace qz
