// The CGI step of the host's start road, before the engine is loaded: a request that cannot be
// served is answered here (404 when there is no script, 413 when the body is over the limit)
// and the run ends with a non-zero status; otherwise the engine gets a command line that names
// only the script. A standalone program carries its own script: it needs no script file, and
// its command line stays empty.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/cgi/script_path.h"

namespace qz::cgi {

struct CgiStart {
  std::u16string command;              // the engine's command line when the script runs
  std::optional<int> answered_status;  // set when the request was answered here
};

// nullopt when this is not a CGI run (the ordinary command line applies).
std::optional<CgiStart> start_cgi_run(const std::vector<std::string>& args,
                                      const std::function<bool()>& has_embedded_script,
                                      const EnvReader& env = process_environment());

}  // namespace qz::cgi
