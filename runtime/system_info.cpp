#include "runtime/system_info.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "com/str.h"
#include "platform/path.h"

namespace qz {

namespace {

// The value of the first "name : value" line of /proc/cpuinfo with that name.
std::string cpuinfo(std::string_view name) {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
    if (key != name) continue;
    size_t start = line.find_first_not_of(" \t", colon + 1);
    return start == std::string::npos ? std::string() : line.substr(start);
  }
  return {};
}

std::string without_trailing_slash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string user_name() {
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::string host_name() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
}

std::string cpu_identifier() {
  std::string family = cpuinfo("cpu family"), model = cpuinfo("model"), stepping = cpuinfo("stepping");
  std::string vendor = cpuinfo("vendor_id");
  if (family.empty() && vendor.empty()) return {};
  return "x86_64 Family " + family + " Model " + model + " Stepping " + stepping + ", " + vendor;
}

std::string cpu_mhz() {
  std::string mhz = cpuinfo("cpu MHz");
  if (mhz.empty()) return {};
  return std::to_string(static_cast<long>(std::strtod(mhz.c_str(), nullptr) + 0.5));
}

}  // namespace

std::u16string system_info(std::u16string_view key) {
  std::string value;
  if (key == u"system") value = "/usr/lib";   // where shared libraries live
  else if (key == u"windows") value = "/usr";
  else if (key == u"temp") value = without_trailing_slash(temp_folder());
  else if (key == u"username") value = user_name();
  else if (key == u"computername") value = host_name();
  else if (key == u"cpu.name") value = cpuinfo("model name");
  else if (key == u"cpu.id") value = cpu_identifier();
  else if (key == u"cpu.mhz") value = cpu_mhz();
  return utf8_to_u16(value);
}

}  // namespace qz
