#include "host/cgi/cgi_start.h"

#include "com/str.h"
#include "host/cgi/request_body.h"
#include "platform/codepage.h"
#include "platform/output.h"

namespace qz::cgi {

namespace {

int answer(std::string_view status, std::u16string_view log_line) {
  write_stderr(log_line);
  write_stdout_bytes("Status: ");
  write_stdout_bytes(status);
  write_stdout_bytes("\r\nContent-Type: text/plain\r\n\r\n");
  write_stdout_bytes(status);
  write_stdout_bytes("\n");
  flush_stdout();
  return 1;
}

bool is_post(const char* method) { return method && upper(decode_script_bytes(method)) == u"POST"; }

}  // namespace

std::optional<CgiStart> start_cgi_run(const std::vector<std::string>& args,
                                      const std::function<bool()>& has_embedded_script, const EnvReader& env) {
  if (!is_cgi_run(env)) return std::nullopt;
  CgiStart start;
  std::optional<std::string> script = cgi_script_path(args, env);
  if (!script && !has_embedded_script()) {
    start.answered_status = answer("404 Not Found", u"quazel: no script file to serve for this request\n");
    return start;
  }
  const char* length = env("CONTENT_LENGTH");
  if (is_post(env("REQUEST_METHOD")) && length &&
      parse_content_length(decode_script_bytes(length)) > max_request_size()) {
    start.answered_status =
        answer("413 Content Too Large", u"quazel: request body over QUAZEL_CGI_MAX_REQUEST\n");
    return start;
  }
  if (script) start.command = cgi_command_line(*script);
  return start;
}

}  // namespace qz::cgi
