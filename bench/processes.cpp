#include "processes.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

extern char** environ;

namespace quillmere::bench {
namespace {

// The argument and environment arrays posix_spawn takes, kept alive with their strings.
class SpawnArguments {
 public:
  explicit SpawnArguments(const Command& command) {
    words_.push_back(command.program);
    words_.insert(words_.end(), command.arguments.begin(), command.arguments.end());
    for (std::string& word : words_) {
      argv_.push_back(word.data());
    }
    argv_.push_back(nullptr);
    variables_ = command.extraVariables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      envp_.push_back(*variable);
    }
    for (std::string& variable : variables_) {
      envp_.push_back(variable.data());
    }
    envp_.push_back(nullptr);
  }
  char* const* argv() { return argv_.data(); }
  char* const* envp() { return envp_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<std::string> variables_;
  std::vector<char*> argv_;
  std::vector<char*> envp_;
};

// Starts the command with standard output on `outputFd` (or /dev/null when it is -1).
pid_t Start(const Command& command, int outputFd) {
  SpawnArguments arguments(command);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outputFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = -1;
  if (posix_spawn(&child, command.program.c_str(), &actions, nullptr, arguments.argv(),
                  arguments.envp()) != 0) {
    child = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

int WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int RunToEnd(const Command& command) {
  const pid_t child = Start(command, -1);
  return child < 0 ? -1 : WaitFor(child);
}

double SecondsUntilFirstOutput(const Command& command) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    return -1;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = Start(command, pipeFds[1]);
  close(pipeFds[1]);
  char byte = 0;
  ssize_t got = -1;
  do {
    got = read(pipeFds[0], &byte, 1);
  } while (got < 0 && errno == EINTR);
  const auto shown = std::chrono::steady_clock::now();
  // The rest of its output is drained so that it never blocks on a full pipe while ending.
  char rest[256];
  while (got > 0 && read(pipeFds[0], rest, sizeof(rest)) > 0) {
  }
  close(pipeFds[0]);
  if (child < 0 || WaitFor(child) != 0 || got != 1) {
    return -1;
  }
  return std::chrono::duration<double>(shown - start).count();
}

}  // namespace quillmere::bench
