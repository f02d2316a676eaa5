// The name tables behind find_builtin_function / find_builtin_constant.
#include "script/builtins/builtins.h"

#include <string>
#include <unordered_map>

#include "script/builtins/builtin_support.h"

namespace qz {

namespace {

template <class T>
using NameIndex = std::unordered_map<std::u16string, const T*>;

const NameIndex<BuiltinFunction>& function_index() {
  static const NameIndex<BuiltinFunction>* index = [] {
    auto* m = new NameIndex<BuiltinFunction>();
    for (auto family : {builtins::string_functions(), builtins::substring_functions(),
                        builtins::conversion_functions(), builtins::math_functions(),
                        builtins::date_functions(), builtins::format_functions(),
                        builtins::type_functions(), builtins::system_functions(),
                        builtins::dialog_functions(), builtins::locale_functions()}) {
      for (const BuiltinFunction& f : family) m->emplace(lower(f.name), &f);
    }
    return m;
  }();
  return *index;
}

const NameIndex<BuiltinConstant>& constant_index() {
  static const NameIndex<BuiltinConstant>* index = [] {
    auto* m = new NameIndex<BuiltinConstant>();
    for (const BuiltinConstant& c : builtins::constants()) m->emplace(lower(c.name), &c);
    return m;
  }();
  return *index;
}

template <class T>
const T* find(const NameIndex<T>& index, std::u16string_view name) {
  auto it = index.find(lower(name));
  return it == index.end() ? nullptr : it->second;
}

}  // namespace

const BuiltinFunction* find_builtin_function(std::u16string_view name) { return find(function_index(), name); }
const BuiltinConstant* find_builtin_constant(std::u16string_view name) { return find(constant_index(), name); }

}  // namespace qz
