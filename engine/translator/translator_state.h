// Engine-wide state the translator reads and writes: the module counter and module table, the
// resource table, the run-level flags with their latch, error display and the developer
// address. The engine owns one TranslatorState for its whole life and hands it to every
// translation; the end of a run resets only what the run control resets (the module counter
// and the resource table).
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "engine/translator/resource_table.h"

namespace qz {

// The run-level switches of <#--LevelRun=No_...> directives, in the order they are tested.
enum class RunLevel : int {
  NoRegistry, NoGDI, NoDynAPI, NoAPI, NoFile, NoMedia, NoResource, NoClipBoard, NocScreen,
  NoConv, NoCGI, NoPower, NoCreateObject, NoInclude, NoDLL, NoNet, NoUI, NoCDlg, NoCrypt,
  NoConsole, NoNativeRes,
};
inline constexpr int kRunLevelCount = 21;

// The directive word of a run level ("No_Registry"), as scripts write it.
std::u16string_view run_level_word(RunLevel level);

struct RunLevelFlags {
  std::array<bool, kRunLevelCount> on{};
  bool operator[](RunLevel level) const { return on[static_cast<int>(level)]; }
  void set(RunLevel level) { on[static_cast<int>(level)] = true; }
  bool any() const;
};

enum class ModuleKind { Module, Form };

// One entry of the module table: what sys.GetModule, the error dialog and the resource service
// learn about a script module number.
struct ModuleEntry {
  std::u16string name;
  int index = 0;
  ModuleKind kind = ModuleKind::Module;
  std::u16string code;
  std::u16string folder;  // with its trailing separator, or empty
};

// The table of script module numbers 0 to 255. Numbers outside that range have no entry:
// set() ignores them and find() answers null, so no number can reach outside the table.
class ModuleTable {
 public:
  static constexpr int kSize = 256;
  static bool in_range(int number) { return number >= 0 && number < kSize; }
  void set(int number, ModuleEntry entry);
  ModuleEntry* find(int number);
  const ModuleEntry* find(int number) const;
  void clear() { entries_.clear(); }

 private:
  std::map<int, ModuleEntry> entries_;
};

struct TranslatorState {
  // The last script module number given out; the run control sets it to 0 when a run ends.
  int module_counter = 0;
  ModuleTable modules;
  ResourceTable resources;

  // True once a translation evaluated the run-level directives (the first of an engine's life).
  bool run_level_latch = false;
  RunLevelFlags run_levels;

  bool no_show_error = false;
  // The developer address: the first <#--Develop="..."> met while it still holds the default wins.
  std::u16string develop_address;
  std::u16string develop_address_default;

  // Set false at the start of every translation (sys.EndQZ sets it, sys.IsEnd reads it).
  bool end_requested = false;
};

}  // namespace qz
