#include "runtime/native/native_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <unordered_map>
#include <vector>

#include "com/str.h"
#include "platform/path.h"

namespace qz {

namespace {

// handle -> references taken through open_native_library.
std::unordered_map<void*, int>& references() {
  static auto* table = new std::unordered_map<void*, int>();
  return *table;
}

bool has_path_part(std::u16string_view name) {
  return name.find_first_of(u"/\\") != std::u16string_view::npos || (name.size() >= 2 && name[1] == u':');
}

// The names to try, in order.
std::vector<std::string> candidate_names(std::u16string_view name) {
  std::string path = has_path_part(name) ? find_path(name) : u16_to_utf8(name);
  std::vector<std::string> names{path};
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!base.empty() && base.find('.') == std::string::npos) {
    names.push_back(path + ".so");
    names.push_back(folder + "lib" + base + ".so");
  }
  return names;
}

struct CodeSearch {
  uintptr_t address;
  bool found;
};

int find_code_segment(dl_phdr_info* info, size_t, void* data) {
  auto* s = static_cast<CodeSearch*>(data);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_LOAD || !(ph.p_flags & PF_X)) continue;
    uintptr_t start = info->dlpi_addr + ph.p_vaddr;
    if (s->address >= start && s->address < start + ph.p_memsz) {
      s->found = true;
      return 1;
    }
  }
  return 0;
}

}  // namespace

void* open_native_library(std::u16string_view name) {
  if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return nullptr;
  for (const std::string& candidate : candidate_names(name)) {
    void* h = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h) {
      ++references()[h];
      return h;
    }
  }
  return nullptr;
}

void close_native_library(void* handle) {
  auto it = references().find(handle);
  if (it == references().end()) return;
  if (--it->second == 0) references().erase(it);
  ::dlclose(handle);
}

int native_library_references(void* handle) {
  auto it = references().find(handle);
  return it == references().end() ? 0 : it->second;
}

bool valid_library_handle(void* handle) {
  if (!handle) return false;
  if (references().count(handle)) return true;
  // Handles of this C library are the entries of the program's chain of loaded objects.
  void* self = ::dlopen(nullptr, RTLD_NOW);
  if (!self) return false;
  link_map* map = nullptr;
  bool found = false;
  if (::dlinfo(self, RTLD_DI_LINKMAP, &map) == 0) {
    while (map && map->l_prev) map = map->l_prev;
    for (; map; map = map->l_next)
      if (map == handle) {
        found = true;
        break;
      }
  }
  ::dlclose(self);
  return found;
}

void* find_native_symbol(void* handle, std::u16string_view name) {
  if (!valid_library_handle(handle) || name.empty() || name.find(u'\0') != std::u16string_view::npos) return nullptr;
  std::string symbol = u16_to_utf8(name);
  return ::dlsym(handle, symbol.c_str());
}

bool is_code_address(const void* address) {
  if (!address) return false;
  CodeSearch s{reinterpret_cast<uintptr_t>(address), false};
  ::dl_iterate_phdr(find_code_segment, &s);
  return s.found;
}

bool read_memory(uintptr_t address, void* out, size_t n) {
  if (address == 0) return false;
  iovec local{out, n};
  iovec remote{reinterpret_cast<void*>(address), n};
  ssize_t got = ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0);
  if (got == static_cast<ssize_t>(n)) return true;
  if (got < 0 && (errno == ENOSYS || errno == EPERM)) {
    // Where that call is not allowed, a pipe tells: write() fails with EFAULT on bad memory.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    bool ok = ::write(fds[1], reinterpret_cast<const void*>(address), n) == static_cast<ssize_t>(n) &&
              ::read(fds[0], out, n) == static_cast<ssize_t>(n);
    ::close(fds[0]);
    ::close(fds[1]);
    return ok;
  }
  return false;
}

}  // namespace qz
