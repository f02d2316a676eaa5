#include "runtime/helpers/program_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/helpers/process_start.h"

extern char** environ;

namespace qz {

namespace {

int64_t now_ms() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Writing to a program that has stopped reading must fail with EPIPE, not end our process:
// SIGPIPE stays blocked while feeding, and one that arrived meanwhile is taken off the queue.
class SigpipeBlock {
 public:
  SigpipeBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigpipeBlock() {
    timespec zero{0, 0};
    while (::sigtimedwait(&pipe_, nullptr, &zero) > 0) {
    }
    ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_, old_;
};

struct Fd {
  int fd = -1;
  ~Fd() { close(); }
  void close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

}  // namespace

std::optional<std::string> run_piped(const std::vector<std::string>& argv, std::string_view input,
                                     int timeout_ms) {
  if (argv.empty()) return std::nullopt;
  std::string program = find_in_path(argv[0]);
  if (program.empty() || ::access(program.c_str(), X_OK) != 0) return std::nullopt;

  int in_pipe[2], out_pipe[2];
  if (::pipe2(in_pipe, O_CLOEXEC) != 0) return std::nullopt;
  Fd in_read{in_pipe[0]}, in_write{in_pipe[1]};
  if (::pipe2(out_pipe, O_CLOEXEC) != 0) return std::nullopt;
  Fd out_read{out_pipe[0]}, out_write{out_pipe[1]};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_read.fd, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out_write.fd, STDOUT_FILENO);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return std::nullopt;
  in_read.close();
  out_write.close();
  ::fcntl(in_write.fd, F_SETFL, O_NONBLOCK);

  // Feed and drain at once, so neither side blocks on a full pipe.
  SigpipeBlock no_sigpipe;
  std::string output;
  size_t written = 0;
  if (input.empty()) in_write.close();
  const int64_t deadline = now_ms() + timeout_ms;
  bool timed_out = false;
  while (out_read.fd >= 0) {
    pollfd fds[2];
    nfds_t n = 0;
    fds[n++] = {out_read.fd, POLLIN, 0};
    if (in_write.fd >= 0) fds[n++] = {in_write.fd, POLLOUT, 0};
    int64_t left = deadline - now_ms();
    if (left <= 0) {
      timed_out = true;
      break;
    }
    int r = ::poll(fds, n, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) break;
    if (n > 1 && fds[1].revents) {
      ssize_t w = (fds[1].revents & POLLOUT) ? ::write(in_write.fd, input.data() + written, input.size() - written) : -1;
      if (w > 0) written += static_cast<size_t>(w);
      if (w < 0 && errno != EAGAIN && errno != EINTR) in_write.close();
      if (written == input.size()) in_write.close();
    }
    if (fds[0].revents) {
      char buf[4096];
      ssize_t got = ::read(out_read.fd, buf, sizeof buf);
      if (got > 0) output.append(buf, static_cast<size_t>(got));
      else if (got == 0 || (errno != EAGAIN && errno != EINTR)) out_read.close();
    }
  }
  in_write.close();
  int status = 0;
  if (timed_out) ::kill(pid, SIGKILL);
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timed_out || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace qz
