// The name tables behind find_builtin_function / find_builtin_constant.
#include "script/builtins/builtins.h"

#include <initializer_list>
#include <vector>

#include "com/folded_index.h"
#include "script/builtins/builtin_support.h"

namespace qz {

namespace {

// The entries of a table and their index by name: a script's start looks up every name it
// uses before its first statement runs.
template <class T>
class NameTable {
 public:
  explicit NameTable(std::vector<const T*> entries) : entries_(std::move(entries)) {
    index_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) index_.insert(entries_[i]->name, static_cast<int32_t>(i), name_of());
  }
  const T* find(std::u16string_view name) const {
    int32_t i = index_.find(name, name_of());
    return i < 0 ? nullptr : entries_[static_cast<size_t>(i)];   // the first of two of one name
  }

 private:
  auto name_of() const {
    return [this](int32_t i) { return entries_[static_cast<size_t>(i)]->name; };
  }
  std::vector<const T*> entries_;
  FoldedIndex index_;
};

const NameTable<BuiltinFunction>& function_table() {
  static const NameTable<BuiltinFunction>* table = [] {
    std::vector<const BuiltinFunction*> entries;
    for (auto family : {builtins::string_functions(), builtins::substring_functions(),
                        builtins::conversion_functions(), builtins::math_functions(),
                        builtins::date_functions(), builtins::format_functions(),
                        builtins::type_functions(), builtins::system_functions(),
                        builtins::dialog_functions(), builtins::locale_functions()}) {
      for (const BuiltinFunction& f : family) entries.push_back(&f);
    }
    return new NameTable<BuiltinFunction>(std::move(entries));
  }();
  return *table;
}

const NameTable<BuiltinConstant>& constant_table() {
  static const NameTable<BuiltinConstant>* table = [] {
    std::vector<const BuiltinConstant*> entries;
    for (const BuiltinConstant& c : builtins::constants()) entries.push_back(&c);
    return new NameTable<BuiltinConstant>(std::move(entries));
  }();
  return *table;
}

}  // namespace

const BuiltinFunction* find_builtin_function(std::u16string_view name) { return function_table().find(name); }
const BuiltinConstant* find_builtin_constant(std::u16string_view name) { return constant_table().find(name); }

}  // namespace qz
