#include "host/cgi/script_path.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "host/cgi/url_encoded.h"
#include "platform/codepage.h"

namespace qz::cgi {

namespace {

std::optional<std::string> real_path(const std::string& path) {
  char buf[PATH_MAX];
  if (!::realpath(path.c_str(), buf)) return std::nullopt;
  return std::string(buf);
}

bool is_regular_file(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Servers that pass a query without "=" on as arguments give its words split at "+" and
// decoded, or the whole query with "+" as a blank.
// Compared through one single-byte table, so any bytes compare as themselves.
bool is_query_words(const std::string& arg, const char* query) {
  if (!query || !*query) return false;
  constexpr int kBytes = static_cast<int>(CodePage::Latin1);
  std::u16string q = decode(kBytes, query);
  std::u16string a = decode(kBytes, arg);
  return a == url_decode(q.substr(0, q.find(u'+')), kBytes) || a == url_decode(q, kBytes);
}

}  // namespace

EnvReader process_environment() {
  return [](const char* name) -> const char* { return std::getenv(name); };
}

bool is_cgi_run(const EnvReader& env) {
  const char* uri = env("REQUEST_URI");
  return env("GATEWAY_INTERFACE") || env("REQUEST_METHOD") || (uri && *uri);
}

std::optional<std::string> cgi_script_path(const std::vector<std::string>& args, const EnvReader& env) {
  std::optional<std::string> self = real_path("/proc/self/exe");
  auto usable = [&](const char* candidate) -> std::optional<std::string> {
    if (!candidate || !*candidate) return std::nullopt;
    std::optional<std::string> path = real_path(candidate);
    if (!path || !is_regular_file(*path) || path->find('"') != std::string::npos) return std::nullopt;
    if (self && *path == *self) return std::nullopt;
    return path;
  };
  if (!args.empty() && !is_query_words(args[0], env("QUERY_STRING")))
    if (auto p = usable(args[0].c_str())) return p;
  if (auto p = usable(env("PATH_TRANSLATED"))) return p;
  return usable(env("SCRIPT_FILENAME"));
}

std::u16string cgi_command_line(const std::string& script_path) {
  return u"\"" + decode_script_bytes(script_path) + u"\"";
}

}  // namespace qz::cgi
