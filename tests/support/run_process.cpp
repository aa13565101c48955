#include "support/run_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

extern char** environ;

namespace quillmere::testing {
namespace {

// The outputs go to unnamed temporary files rather than pipes, so nothing blocks however much
// the child writes; they are read once it has ended.
using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    text.push_back(static_cast<char>(c));
  }
  return text;
}

}  // namespace

ProcessResult RunProcess(const std::string& executable, const std::vector<std::string>& arguments) {
  std::vector<std::string> words{executable};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  const File out(std::tmpfile(), &std::fclose);
  const File err(std::tmpfile(), &std::fclose);
  if (!out || !err) {
    return {};
  }
  posix_spawn_file_actions_t actions{};
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, ::fileno(out.get()), STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, ::fileno(err.get()), STDERR_FILENO);
  pid_t child = 0;
  int status = -1;  // not an exit status, should the child not start or waitpid fail
  if (::posix_spawn(&child, executable.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  ::posix_spawn_file_actions_destroy(&actions);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out.get()), ReadAll(err.get())};
}

}  // namespace quillmere::testing
