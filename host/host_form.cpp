#include "host/host_form.h"

#include <csignal>
#include <cstdlib>

#include "com/convert.h"
#include "host/cgi_object.h"
#include "host/embedded_script_reader.h"
#include "host/engine_loader.h"
#include "platform/codepage.h"
#include "platform/output.h"
#include "platform/path.h"

namespace qz {

HostForm::HostForm(EventLoop& loop, std::u16string command) : loop_(loop), command_(std::move(command)) {}

void HostForm::end_exe() {
  if (ending_) return;  // called twice before the tick: the process still ends once
  ending_ = true;
  loop_.post([this] {
    ended_ = true;
    loop_.quit();
  });
}

void HostForm::on_stop_signal() {
  // Ctrl+C and TERM take the normal road: the engine's end timer, then EndExe.
  if (!engine_) {
    end_exe();
    return;
  }
  try {
    engine_->call(u"Reset");
  } catch (...) {
    end_exe();
  }
}

void HostForm::start_engine() {
  // The request is read before the engine exists; a CGI run's script was chosen in main.
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->init_cgi();
  cgi_ = Variant(cgi);

  LoadedEngine loaded = load_engine(loop_);
  if (!loaded.engine) {
    write_stderr(u"quazel: cannot load the engine: " + utf8_to_u16(loaded.error) + u"\n");
    return;
  }
  engine_ = loaded.engine;
  try {
    engine_->call(u"SetObjExe", {Variant(static_cast<Object*>(this))});
  } catch (...) {
  }

  std::optional<std::string> embedded = read_own_embedded_script();
  if (embedded) internal_script_ = true;
  try {
    if (embedded && !embedded->empty()) {
      // The appended bytes reach the engine unchanged (packed or not), past command-line parsing.
      engine_->call(u"CommandScript", {Variant(Str::from_bytes(embedded->data(), embedded->size()))});
    } else {
      engine_->call(u"Command", {Variant(command_)});
    }
  } catch (...) {
  }
}

int HostForm::run() {
  loop_.on_signal(SIGINT, [this](int) { on_stop_signal(); }, true);
  loop_.on_signal(SIGTERM, [this](int) { on_stop_signal(); }, true);

  start_engine();
  if (!engine_) return 1;

  bool reset_sent = false;
  while (!ended_) {
    if (loop_.run()) continue;
    // Load has returned and nothing is left that could run script code again: end the run
    // the normal way. Should that bring no EndExe either, stop all the same.
    if (reset_sent) break;
    reset_sent = true;
    try {
      engine_->call(u"Reset");
    } catch (...) {
      break;
    }
  }

  int status = 0;
  try {
    status = to_long(engine_->get(u"ExitStatus"));
  } catch (...) {
  }
  engine_ = nullptr;
  flush_stdout();
  return status;
}

void HostForm::define(Members<HostForm>& m) {
  m.method(u"GetExeCommand", [](HostForm& h, Args) { return Variant(h.command()); });
  m.method(u"GetExePath", [](HostForm&, Args) { return Variant(script_path(executable_path())); });
  m.getter(u"IsInternalScript", [](HostForm& h, Args) { return Variant(h.is_internal_script()); });
  m.getter(u"mCGI", [](HostForm& h, Args) { return h.cgi(); });
  // The DDE link object and the service control come with their own issues.
  m.getter(u"mDDE", [](HostForm&, Args) { return Variant::nothing(); });
  m.method(u"GetNTS", [](HostForm&, Args) { return Variant::nothing(); });
  m.getter(u"Icon", [](HostForm&, Args) { return Variant::nothing(); });
  m.method(u"EndExe", [](HostForm& h, Args) {
    h.end_exe();
    return Variant();
  });
}

}  // namespace qz
