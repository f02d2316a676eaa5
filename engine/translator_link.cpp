// The engine's side of the translator: the settings it translates with, and loading each
// translated module into the script control as soon as the translator makes it (code that a
// module adds runs at that moment, before the libraries it names are loaded).

#include "engine/engine_core.h"
#include "engine/translator/path_macros.h"
#include "engine/translator/prologue.h"
#include "engine/version.h"
#include "forms/script_form.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/output.h"
#include "runtime/system_info.h"

namespace qz {

namespace {

class EngineTranslatorHost final : public TranslatorHost {
 public:
  EngineTranslatorHost(ScriptControl& control, std::map<uint64_t, LineOrigins>& origins)
      : control_(control), origins_(origins) {}

  void show_message(const std::u16string& title, const std::u16string& text) override {
    constexpr int kCriticalIcon = 16;
    message_box(text, kCriticalIcon, title);
  }

  // Resume-next, as the load of each module is: code the control rejects has already gone
  // through its error event.
  void load(const LoadStep& step) override {
    try {
      switch (step.kind) {
        case LoadKind::Module: {
          ScriptModule* m = step.number == 1 ? control_.module(1) : control_.module(step.control_name);
          if (!m) m = control_.add_module(step.control_name);
          if (!m) break;
          note_origins(step);
          m->add_code(step.code);
          break;
        }
        case LoadKind::Form: {
          // A module's number is its place in the script control, which is how events, FuncRun
          // and Eval find it. A library's forms load before the library's own module (its code
          // sets the form variables), so that module's place is taken first, empty.
          reserve_modules_before(step.number);
          // The form is registered before its module exists; its Code is set even when the
          // module's code was rejected.
          Ref<ScriptForm> form = create_script_form(step.number, step.register_name);
          control_.add_object(step.register_name, form);
          ScriptModule* m = control_.add_module(step.control_name);
          if (!m) break;
          try {
            note_origins(step);
            m->add_code(step.code);
          } catch (...) {
          }
          if (!step.hide_code) form->set_code(m->code_object());
          break;
        }
        case LoadKind::GlobalCode:
          control_.add_code(step.code);
          break;
        case LoadKind::ModuleObject:
          if (ScriptModule* m = control_.module(static_cast<size_t>(step.number)))
            control_.add_object(step.register_name, m->code_object());
          break;
      }
    } catch (...) {
    }
  }

 private:
  void reserve_modules_before(int number) {
    for (size_t next = control_.module_count() + 1; next < static_cast<size_t>(number); ++next)
      control_.add_module(utf8_to_u16(std::to_string(next) + "_mdl_module_"));
  }
  // The code about to be added is the control's next unit: its errors find their lines here.
  void note_origins(const LoadStep& step) {
    if (step.origins.table) origins_[control_.next_unit_id()] = step.origins;
  }

  ScriptControl& control_;
  std::map<uint64_t, LineOrigins>& origins_;
};

}  // namespace

TranslatorSettings EngineCore::translator_settings() {
  TranslatorSettings s = default_translator_settings();
  s.add_code = add_code_text;
  s.language_id = language_id();
  s.script_folder = script_folder_;
  s.engine_folder = engine_folder();
  s.system_folder = system_info(u"system");
  s.windows_folder = system_info(u"windows");
  s.version_major = kEngineVersionMajor;
  s.version_minor = kEngineVersionMinor;
  s.version_revision = kEngineVersionRevision;
  s.stdout_usable = stdout_available();
  return s;
}

void EngineCore::translate(std::string bytes, std::u16string module_name) {
  TranslatorSettings settings = translator_settings();
  // Module 1 starts with the prologue: compiled once and reused by every later run in this
  // process that has the same one.
  control_->share_code({tr::prologue_text(settings, false), tr::prologue_text(settings, true)});
  EngineTranslatorHost host(*control_, code_origins_);
  TranslationResult result = translate_script(bytes, module_name, settings, translator_, &host);
  if (result.allow_ui_off) control_->set_allow_ui(false);
  for (const TranslatorMessage& m : result.messages) {
    if (m.kind == TranslatorMessage::Kind::DamagedScript) {
      // A packed script that cannot be read ends the run; its report is the only one (no
      // complaint about the Load it could not have).
      set_failed();
      ++errors_this_run_;
      switch_end_timer_on();
    }
  }
}

std::u16string EngineCore::expand_path_macros(std::u16string_view name) {
  TranslatorSettings settings = translator_settings();
  TranslatorHost host;
  return tr::expand_path_macros(name, settings, host);
}

}  // namespace qz
