#include "runtime/helpers/process_start.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "com/str.h"
#include "platform/output.h"
#include "platform/path.h"

extern char** environ;

namespace qz {

namespace {

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }

// Children started without waiting are reaped later, so none stays a zombie for long.
std::vector<pid_t>& unreaped() {
  static auto* list = new std::vector<pid_t>();
  return *list;
}

void reap_finished() {
  auto& list = unreaped();
  for (size_t i = 0; i < list.size();) {
    int status;
    pid_t r = ::waitpid(list[i], &status, WNOHANG);
    if (r == 0) {
      ++i;
    } else {
      list[i] = list.back();
      list.pop_back();
    }
  }
}

bool is_executable_file(const std::string& path) { return file_exists(path) && ::access(path.c_str(), X_OK) == 0; }

// The OS path of the program: a name without separators is looked up in PATH.
std::string program_path(const std::u16string& program) {
  if (program.find_first_of(u"/\\:") == std::u16string::npos) return find_in_path(u16_to_utf8(program));
  return find_path(program);
}

pid_t spawn(const std::vector<std::u16string>& words) {
  if (words.empty()) return 0;
  std::string program = program_path(words[0]);
  if (program.empty() || !is_executable_file(program)) return 0;
  std::vector<std::string> args;
  args.reserve(words.size());
  args.push_back(program);
  for (size_t i = 1; i < words.size(); ++i) args.push_back(u16_to_utf8(words[i]));
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  flush_stdout();  // the child shares standard output: what the script printed comes first
  reap_finished();
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return 0;
  return pid;
}

// Waits for `pid` up to timeout_ms (< 0: no limit); true when it ended.
bool wait_for(pid_t pid, int timeout_ms) {
  int status;
  if (timeout_ms < 0) {
    for (;;) {
      pid_t r = ::waitpid(pid, &status, 0);
      if (r == pid) return true;
      if (r < 0 && errno != EINTR) return false;
    }
  }
  int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (pidfd >= 0) {
    struct timespec start;
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
      struct timespec now;
      ::clock_gettime(CLOCK_MONOTONIC, &now);
      long long elapsed = (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
      long long left = timeout_ms - elapsed;
      if (left < 0) left = 0;
      pollfd p{pidfd, POLLIN, 0};
      int r = ::poll(&p, 1, static_cast<int>(left));
      if (r < 0 && errno == EINTR) continue;
      break;
    }
    ::close(pidfd);
    return ::waitpid(pid, &status, WNOHANG) == pid;
  }
  // Without process descriptors: look every few milliseconds.
  for (int waited = 0;; waited += 5) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return true;
    if (waited >= timeout_ms) return false;
    struct timespec ts{0, 5 * 1000000L};
    ::nanosleep(&ts, nullptr);
  }
}

}  // namespace

std::vector<std::u16string> split_command_line(std::u16string_view line) {
  std::vector<std::u16string> words;
  size_t i = 0;
  while (i < line.size() && blank(line[i])) ++i;
  if (i == line.size()) return words;

  // The program: quoted text taken as it is, or the first word.
  std::u16string program;
  if (line[i] == u'"') {
    size_t end = line.find(u'"', i + 1);
    if (end == std::u16string_view::npos) end = line.size();
    program = line.substr(i + 1, end - i - 1);
    i = end < line.size() ? end + 1 : end;
  } else {
    size_t end = i;
    while (end < line.size() && !blank(line[end])) ++end;
    program = line.substr(i, end - i);
    i = end;
  }
  words.push_back(program);

  // The arguments, by the C runtime's rules.
  for (;;) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      if (line[i] == u'\\') {
        size_t n = 0;
        while (i < line.size() && line[i] == u'\\') ++n, ++i;
        if (i < line.size() && line[i] == u'"') {
          word.append(n / 2, u'\\');
          if (n % 2) {
            word.push_back(u'"');
            ++i;
          }
        } else {
          word.append(n, u'\\');
        }
        continue;
      }
      if (line[i] == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {  // "" inside quotes: one quote
          word.push_back(u'"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      word.push_back(line[i++]);
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string find_in_path(std::string_view name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string_view::npos) return std::string(name);
  const char* path = std::getenv("PATH");
  std::string_view dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + std::string(name);
    if (is_executable_file(candidate)) return candidate;
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return {};
}

int32_t start_program(std::u16string_view command_line) { return start_program(split_command_line(command_line)); }

int32_t start_program(const std::vector<std::u16string>& words) {
  pid_t pid = spawn(words);
  if (pid > 0) unreaped().push_back(pid);
  return pid;
}

bool run_program_and_wait(std::u16string_view command_line, int32_t timeout_ms) {
  return run_program_and_wait(split_command_line(command_line), timeout_ms);
}

bool run_program_and_wait(const std::vector<std::u16string>& words, int32_t timeout_ms) {
  pid_t pid = spawn(words);
  if (pid <= 0) return false;
  bool ended = wait_for(pid, timeout_ms > 0 ? timeout_ms : -1);
  if (!ended) unreaped().push_back(pid);
  return ended;
}

bool open_with_desktop(std::u16string_view document) {
  std::string opener = find_in_path("xdg-open");
  if (opener.empty() || document.empty()) return false;
  // Addresses go as they are; anything else is a script path.
  std::u16string doc(document);
  bool address = doc.find(u"://") != std::u16string::npos || iequals(doc.substr(0, 7), u"mailto:");
  std::u16string target = address ? doc : script_path(find_path(doc));
  return start_program(std::vector<std::u16string>{utf8_to_u16(opener), target}) > 0;
}

}  // namespace qz
