// The host object: what the engine is handed with SetObjExe and calls by name (GetExeCommand,
// GetExePath, IsInternalScript, mCGI, mDDE, GetNTS, EndExe, Icon). It also carries the start
// road: make the CGI object, take the command text, create the engine, hand it the embedded
// script or the command text, and run the event loop until the engine says the run is over.
#pragma once
#include <string>

#include "com/object.h"
#include "platform/event_loop.h"

namespace qz {

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

 private:
  void start_engine();
  void on_stop_signal();

  EventLoop& loop_;
  std::u16string command_;
  bool internal_script_ = false;
  Variant cgi_ = Variant::nothing();
  Ref<Object> engine_;
  bool ending_ = false;
  bool ended_ = false;
};

}  // namespace qz
