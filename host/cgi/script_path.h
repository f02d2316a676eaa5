// Which script a CGI run serves. A web client controls the query string, PATH_INFO and, on
// some servers, the words passed as arguments; none of that may choose a verb, switch the
// command-line mode or become code. So a CGI run names one existing script file and nothing else.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qz::cgi {

// Reads an environment variable: its value or null.
using EnvReader = std::function<const char*(const char*)>;
EnvReader process_environment();

// A CGI run: GATEWAY_INTERFACE or REQUEST_METHOD is set, or REQUEST_URI is set and not empty.
bool is_cgi_run(const EnvReader& env);

// The absolute path of the script to serve: the first argument when it names an existing file,
// else PATH_TRANSLATED, else SCRIPT_FILENAME, under the same condition. Never this program
// itself (fcgiwrap sets SCRIPT_FILENAME to it), never a path with a double quote (it could
// not be named on the engine's command line), and never a first argument that is only the
// query's search words handed on by the server. Later arguments are never used.
std::optional<std::string> cgi_script_path(const std::vector<std::string>& args, const EnvReader& env);

// The engine's command line for that script: the path in double quotes, which the engine
// reads as a file name with no argument text, whatever the name looks like.
std::u16string cgi_command_line(const std::string& script_path);

}  // namespace qz::cgi
