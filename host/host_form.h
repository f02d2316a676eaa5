// The host object: what the engine is handed with SetObjExe and calls by name (GetExeCommand,
// GetExePath, IsInternalScript, mCGI, mDDE, GetNTS, EndExe, Icon). It also carries the start
// road: make the CGI object, take the command text, create the engine, hand it the embedded
// script or the command text, and run the event loop until the engine says the run is over.
#pragma once
#include <optional>
#include <string>

#include "com/object.h"
#include "host/engine_loader.h"
#include "platform/event_loop.h"

namespace qz {

class DdeObject;
class ServiceControl;

class HostForm : public NativeObject<HostForm> {
 public:
  HostForm(EventLoop& loop, std::u16string command);
  static void define(Members<HostForm>& m);
  std::u16string type_name() const override { return u"frmQuazel_Exe"; }

  // The whole run; returns the process's exit status.
  int run();

  // EndExe: the end is deferred to the next pass of the loop, so the engine's call returns
  // before the engine is released.
  void end_exe();

  const std::u16string& command() const { return command_; }
  bool is_internal_script() const { return internal_script_; }
  Variant cgi() const { return cgi_; }
  Variant dde() const;
  Variant nts() const;

 private:
  // The start-up check: picks the engine library; false (the reason written) when no usable
  // engine is found.
  bool engine_usable();
  void start_engine();
  void on_stop_signal();
  // Runs an event procedure through the engine's FuncRun.
  Variant forward_event(std::u16string_view procedure, int16_t module, std::vector<Variant>& args);

  EventLoop& loop_;
  std::u16string command_;
  bool internal_script_ = false;
  Variant cgi_ = Variant::nothing();
  std::optional<EngineLibrary> library_;
  Ref<Object> engine_;
  Ref<DdeObject> dde_;
  Ref<ServiceControl> nts_;
  bool ending_ = false;
  bool ended_ = false;
};

}  // namespace qz
