#include "runtime/helpers/system_status.h"

#include <fcntl.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "platform/path.h"
#include "runtime/helpers/process_start.h"

extern char** environ;

namespace qz {

std::vector<std::pair<std::u16string, std::u16string>> environment_entries() {
  std::vector<std::pair<std::u16string, std::u16string>> out;
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry(*e);
    size_t eq = entry.find('=');
    std::u16string name = decode_script_bytes(entry.substr(0, eq));
    std::u16string value = eq == std::string_view::npos ? std::u16string() : decode_script_bytes(entry.substr(eq + 1));
    std::erase_if(value, [](char16_t c) { return c == u'\r' || c == u'\n'; });
    out.emplace_back(std::move(name), std::move(value));
  }
  return out;
}

namespace {

std::string read_text_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The number after "key:" on its own line, in kB; nullopt when the key is missing.
std::optional<double> kilobytes(std::string_view text, std::string_view key) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ':') {
      std::string rest(line.substr(key.size() + 1));
      char* stop = nullptr;
      double v = std::strtod(rest.c_str(), &stop);
      if (stop != rest.c_str()) return v;
      return std::nullopt;
    }
    pos = end + 1;
  }
  return std::nullopt;
}

// User address space of x86-64 processes: 47 bits.
constexpr double kAddressSpace = 140737488351232.0;

}  // namespace

MemoryStatus parse_memory_status(std::string_view meminfo, std::string_view self_status) {
  MemoryStatus m;
  double total = kilobytes(meminfo, "MemTotal").value_or(0) * 1024;
  double avail = kilobytes(meminfo, "MemAvailable").value_or(kilobytes(meminfo, "MemFree").value_or(0)) * 1024;
  double swap_total = kilobytes(meminfo, "SwapTotal").value_or(0) * 1024;
  double swap_free = kilobytes(meminfo, "SwapFree").value_or(0) * 1024;
  m.total_phys = total;
  m.free_phys = avail;
  m.total_page_file = total + swap_total;
  m.free_page_file = avail + swap_free;
  m.total_virtual = kAddressSpace;
  double used_virtual = kilobytes(self_status, "VmSize").value_or(0) * 1024;
  m.free_virtual = kAddressSpace - used_virtual;
  return m;
}

MemoryStatus memory_status() {
  MemoryStatus m = parse_memory_status(read_text_file("/proc/meminfo"), read_text_file("/proc/self/status"));
  struct rlimit lim;
  if (::getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY &&
      static_cast<double>(lim.rlim_cur) < m.total_virtual) {
    double used = m.total_virtual - m.free_virtual;
    m.total_virtual = static_cast<double>(lim.rlim_cur);
    m.free_virtual = m.total_virtual > used ? m.total_virtual - used : 0;
  }
  return m;
}

std::optional<int> nice_of_priority_class(int32_t priority_class) {
  switch (priority_class) {
    case 64: return 19;      // idle
    case 16384: return 10;   // below normal
    case 32: return 0;       // normal
    case 32768: return -5;   // above normal
    case 128: return -10;    // high
    case 256: return -20;    // realtime
    default: return std::nullopt;
  }
}

bool set_priority_class(int32_t priority_class, int32_t pid) {
  std::optional<int> nice = nice_of_priority_class(priority_class);
  if (!nice || pid < 0) return false;
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), *nice) == 0;
}

int32_t keyboard_lock(int32_t which, bool on) {
  unsigned char flag;
  switch (which) {
    case 1: flag = K_NUMLOCK; break;
    case 2: flag = K_CAPSLOCK; break;
    case 3: flag = K_SCROLLLOCK; break;
    default: return 0;
  }
  // Only a virtual console has lock state to read; elsewhere the key reads as off.
  int fd = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return 0;
  char flags = 0;
  int32_t before = 0;
  if (::ioctl(fd, KDGKBLED, &flags) == 0) {
    before = (flags & flag) ? 1 : 0;
    if (before != (on ? 1 : 0)) {
      char changed = static_cast<char>(on ? (flags | flag) : (flags & ~flag));
      ::ioctl(fd, KDSKBLED, changed);
    }
  }
  ::close(fd);
  return before;
}

int32_t play_sound_file(std::u16string_view file, bool async) {
  if (file.empty() || !dir_exists("/dev/snd")) return 0;
  std::string path = find_path(file);
  if (!file_exists(path)) return 0;
  for (const char* player : {"paplay", "aplay"}) {
    std::string program = find_in_path(player);
    if (program.empty()) continue;
    std::vector<std::u16string> words{utf8_to_u16(program), script_path(path)};
    if (async) return start_program(words) > 0 ? 1 : 0;
    return run_program_and_wait(words, 0) ? 1 : 0;
  }
  return 0;
}

}  // namespace qz
