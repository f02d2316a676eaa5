#include "services/clipboard/system_clipboard.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "runtime/helpers/process_start.h"
#include "runtime/helpers/program_pipe.h"

extern char** environ;

namespace qz {

namespace {

constexpr int kToolTimeoutMs = 3000;

bool has_env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

bool wayland() { return has_env("WAYLAND_DISPLAY") && !find_in_path("wl-copy").empty() && !find_in_path("wl-paste").empty(); }
bool x11() { return has_env("DISPLAY") && !find_in_path("xclip").empty(); }

// Runs a tool that takes `input` on its standard input. The copy tools leave a process behind
// that serves the selection, holding on to any output pipe it inherited, so their output goes
// to /dev/null and only the first process is waited for.
bool feed_program(const std::vector<std::string>& argv, std::string_view input) {
  std::string path = find_in_path(argv[0]);
  if (path.empty()) return false;
  int in[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &fa, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  ::close(in[0]);
  if (rc != 0) {
    ::close(in[1]);
    return false;
  }
  // A tool that stops reading must not kill us with SIGPIPE.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &old);
  size_t done = 0;
  while (done < input.size()) {
    ssize_t n = ::write(in[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::sigaction(SIGPIPE, &old, nullptr);
  ::close(in[1]);
  // The first process ends once it has handed the text to the one that serves it.
  int status = 0;
  for (int waited = 0;; waited += 10) {
    pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) return false;
    if (waited >= kToolTimeoutMs) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return false;
    }
    ::usleep(10000);
  }
  return done == input.size() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

constexpr std::string_view kPngType = "image/png";

}  // namespace

bool system_clipboard_available() { return wayland() || x11(); }

std::optional<std::u16string> read_system_clipboard() {
  std::optional<std::string> bytes;
  if (wayland()) bytes = run_piped({"wl-paste", "--no-newline", "--type", "text"}, "", kToolTimeoutMs);
  else if (x11()) bytes = run_piped({"xclip", "-selection", "clipboard", "-o"}, "", kToolTimeoutMs);
  if (!bytes) return std::nullopt;
  return decode(65001, *bytes);
}

bool write_system_clipboard(const std::u16string& text) {
  std::string bytes = encode(65001, text);
  if (wayland()) {
    if (text.empty()) return feed_program({"wl-copy", "--clear"}, "");
    return feed_program({"wl-copy", "--type", "text/plain;charset=utf-8"}, bytes);
  }
  if (x11()) return feed_program({"xclip", "-selection", "clipboard", "-i"}, bytes);
  return false;
}

std::optional<std::string> read_system_clipboard_png() {
  std::optional<std::string> types;
  if (wayland()) types = run_piped({"wl-paste", "--list-types"}, "", kToolTimeoutMs);
  else if (x11()) types = run_piped({"xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"}, "", kToolTimeoutMs);
  // Asking for a type the owner does not offer makes some owners convert, others fail slowly.
  if (!types || types->find(kPngType) == std::string::npos) return std::nullopt;
  std::optional<std::string> png;
  if (wayland()) png = run_piped({"wl-paste", "--type", std::string(kPngType)}, "", kToolTimeoutMs);
  else png = run_piped({"xclip", "-selection", "clipboard", "-o", "-t", std::string(kPngType)}, "", kToolTimeoutMs);
  if (!png || png->empty()) return std::nullopt;
  return png;
}

bool write_system_clipboard_png(const std::string& png) {
  if (png.empty()) return false;
  if (wayland()) return feed_program({"wl-copy", "--type", std::string(kPngType)}, png);
  if (x11()) return feed_program({"xclip", "-selection", "clipboard", "-t", std::string(kPngType), "-i"}, png);
  return false;
}

}  // namespace qz
