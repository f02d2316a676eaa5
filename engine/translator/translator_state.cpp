#include "engine/translator/translator_state.h"

namespace qz {

std::u16string_view run_level_word(RunLevel level) {
  static constexpr std::u16string_view kWords[kRunLevelCount] = {
      u"No_Registry", u"No_GDI", u"No_DynAPI", u"No_API", u"No_File", u"No_Media", u"No_Resource",
      u"No_ClipBoard", u"No_cScreen", u"No_Conv", u"No_CGI", u"No_Power", u"No_CreateObject",
      u"No_Include", u"No_DLL", u"No_Net", u"No_UI", u"No_CDlg", u"No_Crypt", u"No_Console",
      u"No_NativeRes",
  };
  return kWords[static_cast<int>(level)];
}

bool RunLevelFlags::any() const {
  for (bool b : on)
    if (b) return true;
  return false;
}

void ModuleTable::set(int number, ModuleEntry entry) {
  if (!in_range(number)) return;
  entries_[number] = std::move(entry);
}

ModuleEntry* ModuleTable::find(int number) {
  auto it = entries_.find(number);
  return it == entries_.end() ? nullptr : &it->second;
}

const ModuleEntry* ModuleTable::find(int number) const {
  auto it = entries_.find(number);
  return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace qz
