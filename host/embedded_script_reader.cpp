#include "host/embedded_script_reader.h"

#include <fcntl.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "engine/make/carried_engine.h"
#include "engine/make/elf_image_end.h"
#include "engine/make/standalone_layout.h"
#include "platform/path.h"

namespace qz {

namespace {

// The end marker: make puts it right behind the program's ELF image, so that place is looked
// at first, and a program with nothing behind its image has none. Anything else (a program
// whose image ends elsewhere) is searched as before; memmem's two-way search does not stall on
// the zero bytes the marker starts with.
const void* find_end_marker(std::string_view file, const std::string& marker) {
  if (auto end = standalone::elf_image_end(file)) {
    if (*end == file.size()) return nullptr;
    if (file.substr(*end, marker.size()) == marker) return file.data() + *end;
  }
  return ::memmem(file.data(), file.size(), marker.data(), marker.size());
}

// Calls `use` with what follows the first end marker of the running program, mapped for the
// call only; false when the program has no marker or cannot be read.
template <typename F>
bool with_own_tail(F use) {
  const std::string path = executable_path();
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  bool found = false;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    size_t size = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      const std::string marker = standalone::end_marker();
      const char* base = static_cast<const char*>(map);
      const void* at = find_end_marker(std::string_view(base, size), marker);
      if (at) {
        const char* tail = static_cast<const char*>(at) + marker.size();
        use(std::string_view(tail, static_cast<size_t>(base + size - tail)));
        found = true;
      }
      ::munmap(map, size);
    }
  }
  ::close(fd);
  return found;
}

}  // namespace

std::optional<std::string> read_own_embedded_script() {
  std::optional<std::string> result;
  with_own_tail([&](std::string_view tail) { result.emplace(standalone::split_embedded(tail).script); });
  return result;
}

CarriedEngine read_own_carried_engine() {
  CarriedEngine result;
  with_own_tail([&](std::string_view tail) {
    auto block = standalone::split_embedded(tail).engine_block;
    if (!block) return;
    if (auto library = standalone::unpack_engine_block(*block, result.error)) {
      result.state = CarriedEngine::State::Intact;
      result.library = std::move(*library);
    } else {
      result.state = CarriedEngine::State::Damaged;
    }
  });
  return result;
}

}  // namespace qz
