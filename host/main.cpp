// quazel: the host program. It turns its arguments into the engine's command line, loads the
// engine library, and runs the event loop until the run is over.
#include <link.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "host/cgi/cgi_start.h"
#include "host/command_text.h"
#include "host/embedded_script_reader.h"
#include "host/host_form.h"
#include "platform/event_loop.h"
#include "platform/output.h"
#include "platform/path.h"

namespace {

// The browser engine keeps threads of its own running until the process ends; they must not
// meet the libraries' finalizers, which exit() runs while those threads still call into them.
// A run that loaded it ends once its output is written, without the finalizers.
bool browser_loaded() {
  return ::dl_iterate_phdr([](dl_phdr_info* info, size_t, void*) {
    std::string_view path = info->dlpi_name ? info->dlpi_name : "";
    return path.ends_with("/libquazel_web.so") || path == "libquazel_web.so" ? 1 : 0;
  }, nullptr) != 0;
}

void end_without_finalizers_after_browser(int status) {
  if (!browser_loaded()) return;
  qz::flush_stdout();
  std::fflush(nullptr);
  ::_exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that went away (a closed pipe, a CGI client) is a failed write, not a death.
  std::signal(SIGPIPE, SIG_IGN);
  // Before anything opens a descriptor that could take the number of a closed output.
  qz::claim_closed_stdout();

  std::unique_ptr<qz::EventLoop> loop = qz::make_poll_event_loop();
  qz::set_event_loop(loop.get());

  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::u16string command;
  // A web request runs one script file and nothing its client wrote; see host/cgi/cgi_start.h.
  if (auto cgi = qz::cgi::start_cgi_run(args, [] { return qz::read_own_embedded_script().has_value(); })) {
    if (cgi->answered_status) return *cgi->answered_status;
    command = cgi->command;
  } else {
    command = qz::command_text(args, [](std::u16string_view p) { return qz::file_exists(qz::find_path(p)); });
  }

  qz::Ref<qz::HostForm> host = qz::make_ref<qz::HostForm>(*loop, std::move(command));
  int status = host->run();
  host = nullptr;
  qz::set_event_loop(nullptr);
  end_without_finalizers_after_browser(status);
  return status;
}
