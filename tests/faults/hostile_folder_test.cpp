// quillmere-cli run as a process in a folder holding one hostile entry beside a module: every
// command ends by itself within its time limit (a hang ends by SIGALRM and fails), none is killed
// by a signal, no staging file is left, every module file keeps its bytes, and a base that cannot
// be a module never derives "Success". Each rule behind a row is owned by a test of its layer;
// this is the evidence that the program as shipped holds them together.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace quillmere::testing {
namespace {

constexpr std::string_view kModule =
    "[Main]\r\nModule_Name=Epson\r\nS-Num=1\r\n[Single-Command]\r\n1=1,FF,1,1\r\n";

struct HostileEntry {
  const char* name;
  const char* file;  // the hostile entry's name in the folder, the base of the derivation
  std::function<void(const TempFolder&)> make;
};

std::string Utf16(bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : kModule) {
    bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

[[maybe_unused]] void PrintTo(const HostileEntry& entry, std::ostream* out) {
  *out << entry.name;
}

const std::vector<HostileEntry> kEntries = {
    {"NamedPipe", "Pipe.ini",
     [](const TempFolder& f) { ASSERT_EQ(::mkfifo(f.PathOf("Pipe.ini").c_str(), 0600), 0); }},
    {"LinkToDevZero", "Zero.ini",
     [](const TempFolder& f) {
       std::filesystem::create_symlink("/dev/zero", f.PathOf("Zero.ini"));
     }},
    {"FolderNamedIni", "Folder.ini", [](const TempFolder& f) { (void)f.MakeFolder("Folder.ini"); }},
    {"LibraryIsDevUrandom", "Random.ini",
     [](const TempFolder& f) {
       (void)f.Write("Random.ini", "[Main]\r\nModule_Name=Random\r\nUseDll=1,/dev/urandom\r\n");
     }},
    {"LibraryIsAPipe", "PipeDll.ini",
     [](const TempFolder& f) {
       ASSERT_EQ(::mkfifo(f.PathOf("Lib.dll").c_str(), 0600), 0);
       (void)f.Write("PipeDll.ini", "[Main]\r\nModule_Name=PipeDll\r\nUseDll=1,Lib.dll\r\n");
     }},
    {"SparseFileOf100MB", "Huge.ini",
     [](const TempFolder& f) {
       std::filesystem::resize_file(f.Write("Huge.ini", kModule), 100 << 20);
     }},
    {"Utf16LittleEndian", "Wide.ini",
     [](const TempFolder& f) { (void)f.Write("Wide.ini", Utf16(false)); }},
    {"Utf16BigEndian", "Wide.ini",
     [](const TempFolder& f) { (void)f.Write("Wide.ini", Utf16(true)); }},
};

// The command's exit status, or -1 when it ended by a signal (its own time limit among them).
int RunCli(const std::vector<std::string>& arguments) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(30);  // kept across exec: a command that hangs ends by SIGALRM
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    std::vector<char*> argv{const_cast<char*>(QUILLMERE_CLI)};
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(QUILLMERE_CLI, argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HostileFolder : public ::testing::TestWithParam<HostileEntry> {};

TEST_P(HostileFolder, EveryCommandEndsAndNoModuleFileChanges) {
  const TempFolder folder;
  (void)folder.Write("Epson.ini", kModule);
  GetParam().make(folder);
  const std::string before = folder.Read("Epson.ini");
  const std::string base = GetParam().file;

  for (const std::vector<std::string>& command :
       std::vector<std::vector<std::string>>{{"list", "--folder", folder.path()},
                                             {"check", "--folder", folder.path()},
                                             {"inspect", folder.PathOf(base)}}) {
    EXPECT_NE(RunCli(command), -1) << command[0];
  }
  const int derived = RunCli({"derive", "--folder", folder.path(), "--base", base, "--name", "New",
                              "--void", "Void", "--stop", "Cash", "--yes"});
  EXPECT_NE(derived, -1) << "derive";
  const bool canBeAModule = base == "Random.ini" || base == "PipeDll.ini";
  EXPECT_EQ(derived == 0, canBeAModule) << "derive's exit status " << derived;

  EXPECT_EQ(folder.Read("Epson.ini"), before);
  for (const std::string& name : folder.List()) {
    EXPECT_FALSE(name.starts_with(".quillmere-derive-")) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, HostileFolder, ::testing::ValuesIn(kEntries),
                         [](const ::testing::TestParamInfo<HostileEntry>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace quillmere::testing
