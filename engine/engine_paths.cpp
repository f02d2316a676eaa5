#include "engine/engine_paths.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "com/convert.h"
#include "engine/make/make_paths.h"
#include "platform/path.h"

namespace qz {

namespace {

std::string absolute(std::string folder) {
  if (!folder.empty() && folder[0] == '/') return folder;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return folder;
  std::string base = with_trailing_slash(cwd);
  if (folder.rfind("./", 0) == 0) folder.erase(0, 2);
  return base + folder;
}

// By host member name, resume-next: Empty when the host lacks it.
Variant host_value(Object* host, std::u16string_view name) {
  if (!host) return {};
  try {
    return host->get(name);
  } catch (...) {
    return {};
  }
}

// The file this code was loaded from, as the loader names it; "" when unknown.
std::string loaded_file() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&loaded_file), &info) && info.dli_fname) return info.dli_fname;
  return {};
}

// A library loaded from memory (the engine a standalone program carries) is named by its
// descriptor; it has no folder of its own.
bool loaded_from_memory(const std::string& file) { return file.rfind("/proc/self/fd/", 0) == 0; }

}  // namespace

std::u16string engine_library_folder() {
  std::string file = loaded_file();
  if (file.empty()) return script_path(executable_folder());
  // The main program, or a carried engine: the program's folder stands for the engine's.
  if (file.find('/') == std::string::npos || loaded_from_memory(file)) file = executable_path();
  return script_path(with_trailing_slash(absolute(parent_folder(file))));
}

std::string engine_library_file() {
  std::string file = loaded_file();
  if (file.empty() || file.find('/') == std::string::npos) return {};
  if (!loaded_from_memory(file)) file = absolute(file);
  // Linked into the program itself: there is no library to name.
  if (make::same_file(file, executable_path())) return {};
  return file;
}

std::u16string script_folder_for(std::u16string_view script_name, Object* host) {
  std::u16string folder;
  size_t cut = script_name.find_last_of(u"\\/");
  if (cut != std::u16string_view::npos) {
    folder = script_path(absolute(os_path(script_name.substr(0, cut + 1))));
  } else if (script_path_exists(script_name)) {
    // A bare file name ("quazel main.qz") names a file of the current folder.
    folder = script_path(absolute(""));
  } else {
    folder = engine_library_folder();
  }
  try {
    Variant internal = host_value(host, u"IsInternalScript");
    if (!internal.is_empty() && to_bool(internal)) {
      std::u16string exe = to_u16(host_value(host, u"GetExePath"));
      size_t slash = exe.find_last_of(u"\\/");
      if (slash != std::u16string::npos) folder = script_path(os_path(exe.substr(0, slash + 1)));
    }
  } catch (...) {
  }
  if (folder.empty() || (folder.back() != u'/' && folder.back() != u'\\')) folder += u'/';
  return folder;
}

bool script_path_exists(std::u16string_view path) {
  return !path.empty() && path_exists(find_path(path));
}

std::string existing_script_file(std::u16string_view path) {
  if (path.empty()) return {};
  std::string os = find_path(path);
  return file_exists(os) ? os : std::string();
}

}  // namespace qz
