#include "host/dde/dde_address.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qz::dde {

namespace {

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string written_name(std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char raw : name) {
    char c = lower_ascii(raw);
    bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    if (plain) {
      out.push_back(c);
    } else {
      auto b = static_cast<unsigned char>(c);
      out.push_back('%');
      out.push_back(hex[b >> 4]);
      out.push_back(hex[b & 15]);
    }
  }
  return out;
}

bool make_private_folder(const std::string& path, bool check_owner, std::string* why) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    if (why) *why = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    if (why) *why = path + ": not a folder";
    return false;
  }
  if (check_owner && (st.st_uid != ::getuid() || (st.st_mode & 077) != 0)) {
    if (why) *why = path + ": owned by someone else or open to others";
    return false;
  }
  return true;
}

bool runtime_dir_usable(const char* dir) { return dir && dir[0] == '/'; }

}  // namespace

std::string socket_folder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (runtime_dir_usable(xdg)) return std::string(xdg) + "/quazel/dde";
  return "/tmp/quazel-" + std::to_string(::getuid()) + "/dde";
}

bool ensure_socket_folder(std::string* why) {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (runtime_dir_usable(xdg)) {
    std::string base = std::string(xdg) + "/quazel";
    return make_private_folder(base, false, why) && make_private_folder(base + "/dde", false, why);
  }
  std::string base = "/tmp/quazel-" + std::to_string(::getuid());
  return make_private_folder(base, true, why) && make_private_folder(base + "/dde", true, why);
}

std::string socket_path(std::string_view app, std::string_view topic) {
  std::string name = written_name(app) + "|" + written_name(topic);
  std::string path = socket_folder() + "/" + name;
  if (path.size() < sizeof(sockaddr_un{}.sun_path)) return path;
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : name) {
    h ^= c;
    h *= 1099511628211ull;
  }
  static const char hex[] = "0123456789abcdef";
  std::string tag = "h";
  for (int i = 15; i >= 0; --i) tag.push_back(hex[(h >> (4 * i)) & 15]);
  return socket_folder() + "/" + tag;
}

bool fill_socket_address(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  return true;
}

std::optional<LinkAddress> parse_link_topic(std::string_view text) {
  size_t bar = text.find('|');
  if (bar == std::string_view::npos || bar == 0 || bar + 1 >= text.size()) return std::nullopt;
  return LinkAddress{std::string(text.substr(0, bar)), std::string(text.substr(bar + 1))};
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
  return true;
}

}  // namespace qz::dde
