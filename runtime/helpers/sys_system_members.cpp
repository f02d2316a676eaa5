// sys members for programs, the machine, calls into the running script and the engine's own
// dialogs: PlaySound, Link, CShell, SyncShell, Env, GetMemoryStatus, SetPriority, KBD_LED,
// HelpFile, FuncRun, GetModule, MsgBox2, InputBox2, SetupActiveX.
#include <unistd.h>

#include <optional>

#include "com/collection.h"
#include "com/convert.h"
#include "com/error.h"
#include "com/progid.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/output.h"
#include "runtime/helpers/process_start.h"
#include "runtime/helpers/script_calls.h"
#include "runtime/helpers/sys_members.h"
#include "runtime/helpers/system_status.h"
#include "runtime/script_file.h"
#include "script/script_control.h"

namespace qz {

namespace {

constexpr int32_t kErrPermissionDenied = 70;
constexpr int32_t kSoundAsync = 0x0001;
constexpr int32_t kSoundAlias = 0x00010000;

// One setting of the engine library as a whole, shared by every sys object.
std::u16string& help_file() {
  static auto* value = new std::u16string();
  return *value;
}

Ref<Object> environment_collection() {
  Ref<Object> outer = new_collection();
  auto& list = static_cast<Collection&>(*outer);
  size_t counted = 0;
  for (auto& [name, value] : environment_entries()) {
    if (++counted > 32766) raise(kErrOverflow);  // the platform counts entries in 16 bits
    Ref<Object> inner = new_collection();
    auto& entry = static_cast<Collection&>(*inner);
    entry.add(Variant(value), u"Value");
    entry.add(Variant(name), u"Key");
    list.add(Variant(inner));
    event_loop().do_events();
  }
  return outer;
}

Ref<Object> memory_collection() {
  MemoryStatus s = memory_status();
  Ref<Object> c = new_collection();
  auto& list = static_cast<Collection&>(*c);
  list.add(Variant(s.free_phys), u"Free Phys");
  list.add(Variant(s.total_phys), u"Total Phys");
  list.add(Variant(s.total_phys - s.free_phys), u"Used Phys");
  list.add(Variant(s.free_page_file), u"Free PageFile");
  list.add(Variant(s.total_page_file), u"Total PageFile");
  list.add(Variant(s.total_page_file - s.free_page_file), u"Used PageFile");
  list.add(Variant(s.free_virtual), u"Free Virtual");
  list.add(Variant(s.total_virtual), u"Total Virtual");
  list.add(Variant(s.total_virtual - s.free_virtual), u"Used Virtual");
  return c;
}

void require_ui(ScriptFile& s) {
  if (!s.engine().script_control().allow_ui()) raise(kErrPermissionDenied);
}

}  // namespace

void define_sys_system_members(Members<ScriptFile>& m) {
  m.method(u"PlaySound", [](ScriptFile&, Args a) {
    try {
      std::u16string name = to_u16(a[0]);
      int32_t flags = a.has(2) ? to_long(a[2]) : 0;
      if (name.empty()) return Variant(int32_t{1});  // stopping a sound that is not playing
      if (flags & kSoundAlias) return Variant(int32_t{0});  // no system sounds to name
      return Variant(play_sound_file(name, flags & kSoundAsync));
    } catch (...) {
      return Variant(int32_t{0});
    }
  });
  m.method(u"Link", [](ScriptFile&, Args a) {
    try {
      open_with_desktop(to_u16(a[0]));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"CShell", [](ScriptFile&, Args a) {
    try {
      return Variant(start_program(to_u16(a[0])));
    } catch (...) {
      return Variant(int32_t{0});
    }
  });
  m.method(u"SyncShell", [](ScriptFile&, Args a) {
    try {
      int32_t timeout = a.has(1) ? to_long(a[1]) : 0;
      return Variant(run_program_and_wait(to_u16(a[0]), timeout));
    } catch (...) {
      return Variant(false);
    }
  });
  m.method(u"Env", [](ScriptFile&, Args) { return Variant(environment_collection()); });
  m.method(u"GetMemoryStatus", [](ScriptFile&, Args) {
    try {
      return Variant(memory_collection());
    } catch (...) {
      return Variant(new_collection());
    }
  });
  // Process 0 means the owner of the window `Hwnd`, or the calling process when that is 0;
  // no window has an owner process here, so a handle (32 when left out) changes nothing.
  m.method(u"SetPriority", [](ScriptFile&, Args a) {
    try {
      int32_t priority = to_long(a[0]);
      int32_t pid = a.has(1) ? to_long(a[1]) : 0;
      int32_t window = a.has(2) ? to_long(a[2]) : 32;
      if (pid == 0 && window != 0) return Variant(int32_t{0});
      set_priority_class(priority, pid == 0 ? static_cast<int32_t>(::getpid()) : pid);
    } catch (...) {
    }
    return Variant(int32_t{0});
  });
  m.method(u"KBD_LED", [](ScriptFile&, Args a) {
    try {
      return Variant(keyboard_lock(to_long(a[0]), to_long(a[1]) != 0));
    } catch (...) {
      return Variant(int32_t{0});
    }
  });
  m.property(
      u"HelpFile", [](ScriptFile&, Args) { return Variant(help_file()); },
      [](ScriptFile&, Args, const Variant& v) { help_file() = to_u16(v); });

  m.method(u"FuncRun", [](ScriptFile& s, Args a) {
    try {
      std::u16string name = to_u16(a[0]);
      int32_t module = to_integer(a[1]);
      size_t extra = a.size() > 2 ? a.size() - 2 : 0;
      return run_script_procedure(s.engine().script_control(), name, module, Args(a.data() + 2, extra));
    } catch (...) {
      return Variant();
    }
  });
  m.method(u"GetModule", [](ScriptFile& s, Args a) {
    try {
      int32_t mode = a.has(1) ? to_long(a[1]) : 0;
      EngineLink& engine = s.engine();
      return find_script_module(engine.script_control(), [&engine](int n) { return engine.script_module(n); },
                                engine.loaded_script_forms(), a[0], mode);
    } catch (...) {
      return Variant();
    }
  });

  m.method(u"MsgBox2", [](ScriptFile& s, Args a) {
    std::u16string message = to_u16(a[0]);
    int32_t style = to_long(a[1]);
    std::u16string title = to_u16(a[2]);
    require_ui(s);
    return Variant(static_cast<int32_t>(message_box(message, style, title)));
  });
  m.method(u"InputBox2", [](ScriptFile& s, Args a) {
    std::u16string prompt = to_u16(a[0]);
    std::u16string title = to_u16(a[1]);
    std::u16string initial = to_u16(a[2]);
    require_ui(s);
    std::optional<std::u16string> answer = input_box(prompt, title, initial);
    return Variant(answer.value_or(std::u16string()));
  });
  // A control that can be created is installed already. One that cannot would come from the
  // script's resource as a native control library (or a ZIP of them) for the platform's
  // registration tool; this system has neither such libraries nor the tool, so the resource is
  // looked up and the script is told on the error stream that it cannot be installed. Nothing is
  // written into the system's folders.
  m.method(u"SetupActiveX", [](ScriptFile& s, Args a) {
    try {
      int32_t number = to_long(a[0]);
      std::u16string progid = a.has(1) ? to_u16(a[1]) : std::u16string();
      int32_t module = a.has(2) ? to_long(a[2]) : 1;
      if (!progid.empty()) {
        try {
          create_object(progid);
          return Variant();
        } catch (const ScriptError&) {
        }
      }
      const ScriptResource* res = s.engine().script_resource(module, number);
      if (!res || (res->name.empty() && res->data.empty())) return Variant();  // nothing to install
      write_stderr(u"quazel: SetupActiveX: the control in resource " + to_u16(Variant(number)) + u" (" + res->name +
                   u") cannot be registered on this system\n");
    } catch (...) {
    }
    return Variant();
  });
}

}  // namespace qz
