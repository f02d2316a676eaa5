// Facts and switches of the machine that sys reports and sets: the environment, memory
// figures, process priority, keyboard lock lights and sound.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qz {

// The process environment in its order: name (text before the first "=") and value (the rest,
// with every CR and LF removed).
std::vector<std::pair<std::u16string, std::u16string>> environment_entries();

struct MemoryStatus {
  double free_phys = 0, total_phys = 0;
  double free_page_file = 0, total_page_file = 0;  // physical memory and swap together
  double free_virtual = 0, total_virtual = 0;      // this process's address space
};
// From /proc/meminfo and /proc/self/status; fields that cannot be read stay 0.
MemoryStatus memory_status();
// The parser behind memory_status, for the two files' texts.
MemoryStatus parse_memory_status(std::string_view meminfo, std::string_view self_status);

// Sets the scheduling priority of a process from the platform's priority classes (64 idle,
// 16384 below normal, 32 normal, 32768 above normal, 128 high, 256 realtime); pid 0 is the
// calling process. False when the class is unknown or the change is refused.
bool set_priority_class(int32_t priority_class, int32_t pid);
// The nice value a priority class stands for; nullopt for an unknown class.
std::optional<int> nice_of_priority_class(int32_t priority_class);

// Lock keys: 1 Num Lock, 2 Caps Lock, 3 Scroll Lock. The state before (1 on, 0 off or unknown);
// the lock is switched to `on` where the terminal allows it.
int32_t keyboard_lock(int32_t which, bool on);

// Plays a sound file with the machine's player, waiting unless `async`. 1 when it played or
// was started, 0 when there is no player, no sound device or no such file.
int32_t play_sound_file(std::u16string_view file, bool async);

}  // namespace qz
