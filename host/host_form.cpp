#include "host/host_form.h"

#include <csignal>
#include <cstdlib>

#include "com/convert.h"
#include "engine/make/host_title_area.h"
#include "host/cgi_object.h"
#include "host/dde/dde_link_object.h"
#include "host/embedded_script_reader.h"
#include "host/engine_choice.h"
#include "host/service/service_control.h"
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

Variant HostForm::dde() const { return dde_ ? Variant(dde_) : Variant::nothing(); }
Variant HostForm::nts() const { return nts_ ? Variant(nts_) : Variant::nothing(); }

Variant HostForm::forward_event(std::u16string_view procedure, int16_t module, std::vector<Variant>& args) {
  if (!engine_) return {};
  Ref<Object> engine = engine_;
  std::vector<Variant> call;
  call.reserve(args.size() + 2);
  call.emplace_back(procedure);
  call.emplace_back(module);
  for (Variant& a : args) call.push_back(a);
  try {
    return engine->call(u"FuncRun", std::move(call));
  } catch (...) {
    return {};
  }
}

bool HostForm::engine_usable() {
  EngineChoice choice = choose_engine(loop_, language_id());
  if (choice.library) {
    library_ = std::move(choice.library);
    return true;
  }
  write_stderr(choice.message);
  return false;
}

void HostForm::on_stop_signal() {
  // A running service hears of the stop first; its end is the normal road below.
  if (nts_ && nts_->stop()) return;
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
  dde_ = make_ref<DdeObject>(loop_, decode(ansi_code_page(), standalone::host_title()));
  dde_->set_forward([this](std::u16string_view p, int16_t m, std::vector<Variant>& a) { return forward_event(p, m, a); });
  nts_ = make_ref<ServiceControl>(loop_);
  nts_->set_forward([this](std::u16string_view p, int16_t m, std::vector<Variant>& a) { return forward_event(p, m, a); });
  nts_->set_on_stopped([this] {
    try {
      if (engine_) engine_->call(u"Reset");
      else end_exe();
    } catch (...) {
      end_exe();
    }
  });

  std::string error;
  Ref<Object> engine = create_engine(*library_, error);
  if (!engine) {
    write_stderr(u"quazel: cannot load the engine: " + utf8_to_u16(error) + u"\n");
    return;
  }
  engine_ = engine;
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

  if (!engine_usable()) return 1;
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

  // Links and the service end with the run, before the engine goes.
  if (nts_) nts_->shutdown();
  if (dde_) dde_->shutdown();

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
  m.getter(u"mDDE", [](HostForm& h, Args) { return h.dde(); });
  m.method(u"GetNTS", [](HostForm& h, Args) { return h.nts(); });
  m.getter(u"Icon", [](HostForm&, Args) { return Variant::nothing(); });
  m.method(u"EndExe", [](HostForm& h, Args) {
    h.end_exe();
    return Variant();
  });
}

}  // namespace qz
