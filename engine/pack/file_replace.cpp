#include "engine/pack/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/path.h"

namespace qz::pack {

namespace {

std::string describe(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}

// The file a path finally names, following symbolic links; the path itself when it does not
// exist yet.
std::string final_target(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved)) return resolved;
  return path;
}

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = describe("cannot open", path, errno);
    return std::nullopt;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = describe("cannot read", path, EISDIR);
    return std::nullopt;
  }
  std::string data;
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      error = describe("cannot read", path, err);
      return std::nullopt;
    }
    data.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

bool replace_file(const std::string& path, const std::string& bytes, std::optional<mode_t> mode, std::string& error) {
  const std::string target = final_target(path);
  mode_t bits = 0644;
  struct stat st;
  if (mode) bits = *mode;
  else if (::stat(target.c_str(), &st) == 0) bits = st.st_mode & 07777;

  TempFile temp;
  try {
    temp = create_temp_file(parent_folder(target), ".qz-write-", ".tmp");
  } catch (const std::system_error& e) {
    error = std::string("cannot write ") + path + ": " + e.what();
    return false;
  }
  auto fail = [&](const std::string& what, int err) {
    ::close(temp.fd);
    ::unlink(temp.path.c_str());
    error = describe(what, path, err);
    return false;
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(temp.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot write", errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fchmod(temp.fd, bits) != 0) return fail("cannot set the mode of", errno);
  if (::fsync(temp.fd) != 0) return fail("cannot write", errno);
  if (::close(temp.fd) != 0) {
    int err = errno;
    ::unlink(temp.path.c_str());
    error = describe("cannot write", path, err);
    return false;
  }
  if (::rename(temp.path.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.path.c_str());
    error = describe("cannot replace", path, err);
    return false;
  }
  return true;
}

}  // namespace qz::pack
