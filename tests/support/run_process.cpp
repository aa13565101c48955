#include "support/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string_view>

extern char** environ;

namespace quillmere::testing {
namespace {

// Both ends of a pipe, closed on every way out.
class Pipe {
 public:
  Pipe() {
    if (::pipe2(ends_.data(), O_CLOEXEC) != 0) {
      ends_ = {-1, -1};
    }
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  [[nodiscard]] bool valid() const { return ends_[0] >= 0; }
  [[nodiscard]] int read() const { return ends_[0]; }
  [[nodiscard]] int write() const { return ends_[1]; }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) {
      ::close(fd);
      fd = -1;
    }
  }
  std::array<int, 2> ends_{-1, -1};
};

class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
};

// Feeds the child's input and drains its two outputs together, so that a child that writes
// much before reading never blocks the test.
void Exchange(Pipe& input, std::string_view text, Pipe& out, Pipe& err, ProcessResult& result) {
  if (text.empty()) {
    input.CloseWrite();
  }
  std::array<char, 4096> chunk{};
  while (input.write() >= 0 || out.read() >= 0 || err.read() >= 0) {
    std::array<pollfd, 3> watched{
        {{input.write(), POLLOUT, 0}, {out.read(), POLLIN, 0}, {err.read(), POLLIN, 0}}};
    if (::poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      result.error = std::string("poll: ") + std::strerror(errno);
      return;
    }
    if (watched[0].revents != 0) {
      // POLLOUT promises room for PIPE_BUF bytes only; more could block on a child that is
      // itself waiting for its output to be read.
      const std::size_t size = std::min<std::size_t>(text.size(), PIPE_BUF);
      const ssize_t written = ::write(input.write(), text.data(), size);
      if (written < 0 && errno != EINTR && errno != EAGAIN) {
        input.CloseWrite();  // the child closed its input: what it did not read stays unread
      } else if (written > 0) {
        text.remove_prefix(static_cast<std::size_t>(written));
        if (text.empty()) {
          input.CloseWrite();
        }
      }
    }
    const auto drain = [&](const pollfd& watch, Pipe& pipe, std::string& into) {
      if (watch.revents == 0) {
        return;
      }
      const ssize_t got = ::read(pipe.read(), chunk.data(), chunk.size());
      if (got > 0) {
        into.append(chunk.data(), static_cast<std::size_t>(got));
      } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        pipe.CloseRead();
      }
    };
    drain(watched[1], out, result.out);
    drain(watched[2], err, result.err);
  }
}

}  // namespace

ProcessResult RunProcess(const std::string& executable, const std::vector<std::string>& arguments,
                         const ProcessOptions& options) {
  ProcessResult result;
  // A child that stops reading its input must not kill the test with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);

  Pipe input;
  Pipe out;
  Pipe err;
  if (!input.valid() || !out.valid() || !err.valid()) {
    result.error = std::string("pipe: ") + std::strerror(errno);
    return result;
  }
  FileActions actions;
  ::posix_spawn_file_actions_adddup2(actions.get(), input.read(), STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(actions.get(), out.write(), STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(actions.get(), err.write(), STDERR_FILENO);
  if (options.workingFolder) {
    ::posix_spawn_file_actions_addchdir_np(actions.get(), options.workingFolder->c_str());
  }

  std::vector<std::string> argv0AndArguments;
  argv0AndArguments.push_back(executable);
  argv0AndArguments.insert(argv0AndArguments.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(argv0AndArguments.size() + 1);
  for (std::string& argument : argv0AndArguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned =
      ::posix_spawn(&child, executable.c_str(), actions.get(), nullptr, argv.data(), environ);
  input.CloseRead();
  out.CloseWrite();
  err.CloseWrite();
  if (spawned != 0) {
    result.error = "cannot run " + executable + ": " + std::strerror(spawned);
    return result;
  }

  Exchange(input, options.input.value_or(""), out, err, result);

  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      result.error = std::string("waitpid: ") + std::strerror(errno);
      return result;
    }
  }
  if (WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

}  // namespace quillmere::testing
