// The translator: one .qz script (bytes and a module name) in, plain VBScript modules out.
//
// translate_script() runs every pass on the script, its #Include files and its #Lib libraries,
// updates the engine-wide TranslatorState (module numbers, module and resource tables,
// run-level flags, error display, developer address) and returns what the engine must load
// into the script control, in order, with everything the translation found. It never runs
// script code and never touches the script control: the engine loads the result (or follows
// TranslatorHost::load step by step). Bad input is translated as far as it goes or reported
// in `messages`; it never throws.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translator/source_lines.h"
#include "engine/translator/translator_state.h"

namespace qz {

// Per-call settings the engine supplies.
struct TranslatorSettings {
  std::u16string add_code;        // the host's extra code (the engine's AddCode), put before the script
  int language_id = 1033;         // 1049 gives Russian message texts
  // Folders, each ending with "/" (or "\"), or empty when unknown.
  std::u16string script_folder;   // folder of the running script: #Lib search, %qz_path%
  std::u16string engine_folder;   // %qz_pathengine%, %qz_lib%, the Lib folder of #Lib
  std::u16string system_folder;   // %qz_system% (no trailing separator wanted: it is dropped)
  std::u16string windows_folder;  // %qz_windows%
  std::u16string temp_folder;     // %qz_temp%, kept with its trailing separator
  // Prologue values.
  int version_major = 7, version_minor = 0, version_revision = 0;
  int32_t instance_handle = 0;
  float twips_per_pixel_x = 15, twips_per_pixel_y = 15;
  bool stdout_usable = false;     // a console or CGI run: Print writes to standard output
  // Write each generated module to this folder (the engine passes $QUAZEL_DUMP_DIR); empty: off.
  std::string dump_dir;
};

// What the translator hands the script control, in order. The engine performs, per step:
//   Form:   AddObject(register_name, a new script form for `number`); Modules.Add(control_name);
//           Modules(number).AddCode(code); unless hide_code, the form's Code = Modules(number).CodeObject.
//   Module: Modules.Add(control_name) (the placeholder for the next number); Modules(number).AddCode(code)
//           (number 1 is the control's global module).
//   GlobalCode: the control's own AddCode(code) (the Declare wrappers).
//   ModuleObject: AddObject(register_name, Modules(number).CodeObject) for modules above 1.
enum class LoadKind { Form, Module, GlobalCode, ModuleObject };

enum class ModuleRole { Main, Module, Lib, Form, Global };

struct LoadStep {
  LoadKind kind = LoadKind::Module;
  ModuleRole role = ModuleRole::Main;
  int number = 0;                     // script module number (0 for GlobalCode)
  std::u16string name;                // module or form name
  std::u16string control_name;        // "2_mdl_form_", "1_mdl_module_"
  std::u16string register_name;       // Form: the global object name; ModuleObject: the module's name
  std::u16string code;                // generated VBScript
  bool hide_code = false;             // Form: <#--FormHideCode>
  std::u16string folder;              // Module: the module's folder
  std::vector<std::u16string> classes;  // Module: the <#Class> sections it holds, in source order
  LineOrigins origins;                // Form, Module: the source line of each line of `code`
};

struct ResourceRecord {
  int module = 0;
  int id = 0;
  std::u16string name;
  std::string data;
  bool base64 = false;   // the data were Base64 text in the script
  bool stored = false;   // false when the module or id lies outside the table
};

struct TranslatorMessage {
  enum class Kind { MissingLibrary, MissingInclude, IncludeNotRegular, IncludeFileTooLarge, IncludeCycle,
                    IncludeTooDeep, IncludeTooLarge, LibraryTooDeep, DamagedScript, InternalError };
  Kind kind;
  std::u16string title;
  std::u16string text;
  bool shown = false;    // false when error display was off (the text is still reported)
};

struct TranslationResult {
  std::vector<LoadStep> steps;
  std::vector<ResourceRecord> resources;
  std::vector<TranslatorMessage> messages;

  // Directives found in the main script and the files it includes (not in its libraries).
  RunLevelFlags run_levels_stated;          // the recognised <#--LevelRun=No_...> words
  std::vector<std::u16string> unknown_run_levels;
  bool run_levels_applied = false;          // this translation set the engine's flags (first of its life)
  bool allow_ui_off = false;                // No_UI applied: switch the control's AllowUI off
  bool no_show_error = false;               // <#--NoShowError>
  bool add_rus = false;                     // <#--AddRus>
  std::vector<std::u16string> develop_addresses;  // every <#--Develop="..."> value, in order
  std::vector<std::u16string> includes;     // the #Include files inserted, as resolved paths
  std::vector<std::u16string> libraries;    // the #Lib names, macros expanded
  int main_module = 0;                      // number given to the translated script
};

// Outside services the translator needs. The defaults work on the local file system and the
// process environment and show nothing; the engine plugs in its own.
class TranslatorHost {
 public:
  virtual ~TranslatorHost() = default;
  // The OS path of an existing file for a script path ("\" or "/" separators, drive letters,
  // any letter case), or nullopt.
  virtual std::optional<std::string> find_file(std::u16string_view script_path);
  virtual std::optional<std::string> read_file(const std::string& os_path);
  // The value of an environment variable whose name equals `name` without regard to case.
  virtual std::optional<std::u16string> environment(std::u16string_view name);
  // A message box with the critical icon.
  virtual void show_message(const std::u16string& title, const std::u16string& text) {}
  // Called for each load step as soon as it is made (before the libraries it names load).
  virtual void load(const LoadStep& step) {}
};

// Translates one script. `module_name` is the script's file path, a library's path or a plain
// name ("Demo"). `host` may be null (the defaults).
TranslationResult translate_script(std::string_view bytes, std::u16string_view module_name,
                                   const TranslatorSettings& settings, TranslatorState& state,
                                   TranslatorHost* host = nullptr);

// The settings from the process: language, temporary folder, $QUAZEL_DUMP_DIR.
TranslatorSettings default_translator_settings();

}  // namespace qz
