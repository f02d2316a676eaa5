#include "runtime/helpers/script_calls.h"

#include <optional>
#include <vector>

#include "com/convert.h"
#include "engine/translator/translator_state.h"
#include "runtime/engine_link.h"
#include "script/script_control.h"

namespace qz {

Variant run_script_procedure(ScriptControl& control, std::u16string_view name, int32_t module, Args args) {
  try {
    if (module < 1 || static_cast<size_t>(module) > control.module_count()) return {};
    ScriptModule* m = control.module(static_cast<size_t>(module));
    if (!m) return {};
    std::vector<Variant> cells;
    if (args.size() <= 10) {
      // Each argument refers to the caller's own variable (or to the value the caller passed).
      for (size_t i = 0; i < args.size(); ++i) {
        Variant& slot = args.data()[i];
        cells.push_back(slot.is_byref() ? slot : Variant::by_ref(&slot));
      }
    } else {
      std::vector<Variant> copies;
      for (size_t i = 0; i < args.size(); ++i) copies.push_back(args[i]);
      cells.push_back(Variant::from_vector(std::move(copies)));
    }
    Variant result = m->run(name, Args(cells));
    return result.deref();
  } catch (const RunEnded&) {
    throw;  // the calling script ends with the run
  } catch (...) {
    return {};
  }
}

namespace {

// A form's module number; a form that does not answer to formTag counts as none.
std::optional<int32_t> form_tag_of(Object& form) {
  try {
    return to_long(form.get(u"formTag"));
  } catch (...) {
    return std::nullopt;
  }
}

// The first loaded form whose window handle is `handle`.
Object* form_with_window(const std::vector<Ref<Object>>& forms, int32_t handle) {
  for (const Ref<Object>& f : forms) {
    try {
      if (to_long(f->get(u"hWnd")) == handle) return f.get();
    } catch (...) {
    }
  }
  return nullptr;
}

}  // namespace

Variant find_script_module(ScriptControl& control, const std::function<const ModuleEntry*(int)>& module_entry,
                           const std::vector<Ref<Object>>& forms, const Variant& value_in, int32_t mode) {
  try {
    const Variant& value = value_in.deref();
    switch (mode) {
      case 0: {
        if (value.is_string()) {
          std::u16string wanted = lower(value.str_view());
          for (int i = 0; i < ModuleTable::kSize; ++i) {
            const ModuleEntry* e = module_entry(i);
            if (e && lower(e->name) == wanted) {
              ScriptModule* m = i >= 1 ? control.module(static_cast<size_t>(i)) : nullptr;
              return m ? Variant(static_cast<Object*>(m)) : Variant();
            }
          }
          return {};
        }
        int32_t n = to_long(value);
        if (n < 1 || static_cast<size_t>(n) > control.module_count()) return {};
        ScriptModule* m = control.module(static_cast<size_t>(n));
        return m ? Variant(static_cast<Object*>(m)) : Variant();
      }
      case 1:
      case 2: {
        Object* form = form_with_window(forms, to_long(value));
        if (!form) return {};
        std::optional<int32_t> tag = form_tag_of(*form);
        if (!tag) return {};
        if (mode == 1) return Variant(*tag);
        const ModuleEntry* e = module_entry(*tag);
        return e ? Variant(e->name) : Variant();
      }
      case 3: {
        int32_t wanted = to_long(value);
        for (const Ref<Object>& f : forms)
          if (form_tag_of(*f).value_or(0) == wanted) return Variant(f.get());
        return {};
      }
      case 4:
        return control.get(u"Modules");
      default:
        return {};
    }
  } catch (...) {
    return {};
  }
}

}  // namespace qz
