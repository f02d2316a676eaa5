// The name tables behind find_builtin_function / find_builtin_constant.
#include "script/builtins/builtins.h"

#include <initializer_list>
#include <vector>

#include "script/builtins/builtin_support.h"

namespace qz {

namespace {

// Entries found by name without regard to case. Names are folded as they are hashed and
// compared, so building the index copies no name and a lookup does not fold its argument
// into a new string: a script's start looks up every name it uses before the first statement.
template <class T>
class NameIndex {
 public:
  explicit NameIndex(const std::vector<const T*>& entries) {
    size_t size = 16;
    while (size < entries.size() * 2) size *= 2;   // at most half full
    slots_.assign(size, nullptr);
    for (const T* e : entries) {
      size_t i = hash(e->name) & (size - 1);
      while (slots_[i] && !iequals(slots_[i]->name, e->name)) i = (i + 1) & (size - 1);
      if (!slots_[i]) slots_[i] = e;   // the first of two entries of one name is kept
    }
  }

  const T* find(std::u16string_view name) const {
    size_t mask = slots_.size() - 1;
    for (size_t i = hash(name) & mask; slots_[i]; i = (i + 1) & mask)
      if (iequals(slots_[i]->name, name)) return slots_[i];
    return nullptr;
  }

 private:
  static size_t hash(std::u16string_view name) {
    size_t h = 14695981039346656037ull;   // FNV-1a over the folded units
    for (char16_t c : name) h = (h ^ fold_name_char(c)) * 1099511628211ull;
    return h ^ (h >> 29);
  }
  std::vector<const T*> slots_;
};

const NameIndex<BuiltinFunction>& function_index() {
  static const NameIndex<BuiltinFunction>* index = [] {
    std::vector<const BuiltinFunction*> entries;
    for (auto family : {builtins::string_functions(), builtins::substring_functions(),
                        builtins::conversion_functions(), builtins::math_functions(),
                        builtins::date_functions(), builtins::format_functions(),
                        builtins::type_functions(), builtins::system_functions(),
                        builtins::dialog_functions(), builtins::locale_functions()}) {
      for (const BuiltinFunction& f : family) entries.push_back(&f);
    }
    return new NameIndex<BuiltinFunction>(entries);
  }();
  return *index;
}

const NameIndex<BuiltinConstant>& constant_index() {
  static const NameIndex<BuiltinConstant>* index = [] {
    std::vector<const BuiltinConstant*> entries;
    for (const BuiltinConstant& c : builtins::constants()) entries.push_back(&c);
    return new NameIndex<BuiltinConstant>(entries);
  }();
  return *index;
}

}  // namespace

const BuiltinFunction* find_builtin_function(std::u16string_view name) { return function_index().find(name); }
const BuiltinConstant* find_builtin_constant(std::u16string_view name) { return constant_index().find(name); }

}  // namespace qz
