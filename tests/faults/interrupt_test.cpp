// A derivation stopped by a signal while it writes its staging file: SIGINT, SIGTERM and SIGHUP
// remove the file and end the process by the signal; after SIGKILL the file stays, named for its
// process, stale once the process is gone. The derivation runs in a forked
// child under a time limit of its own; the test waits for it on a pipe, never on a clock.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "derive/derive_module.h"
#include "derive/staging_files.h"
#include "module/catalogue.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere::testing {
namespace {

struct OneModule : TempFolder {
  OneModule() {
    Write("Epson.ini",
          "[Main]\r\nModule_Name=Epson\r\nS-Num=1\r\n[Single-Command]\r\n1=1,FF,1,1\r\n");
  }

  [[nodiscard]] bool HoldsStagingFile() const {
    const auto names = List();
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
      return name.starts_with(".quillmere-derive-");
    });
  }
};

DeriveOutcome DeriveNew(const OneModule& folder, FaultyFileSystem& files) {
  const auto store = MakeProfileStore(files);
  const auto libraries = MakeExportTableLoader(files);
  const PlatformServices services{*store, files, *libraries};
  RecordingToolkit toolkit;
  Catalogue catalogue;
  (void)ScanCatalogueFolder(catalogue, folder.path(), services, toolkit);
  DeriveInputs inputs;
  inputs.baseSelection = 0;
  inputs.newModuleName = "New";
  inputs.stopKeyword = "Cash";  // a module with a stop signal: no question before the write
  return DeriveModule(inputs, catalogue, services, toolkit).outcome;
}

// A child that derives and stops inside its write of the staging file; returned once it is there.
pid_t StartStalledDerivation(const OneModule& folder) {
  int reached[2];
  int never[2];
  EXPECT_EQ(::pipe(reached), 0);
  EXPECT_EQ(::pipe(never), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(30);  // stalled for good: ends by SIGALRM, which fails the test
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      // One this run ignores (under nohup, say) the derivation would leave ignored.
      struct sigaction current {};
      if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
        ::signal(signal, SIG_DFL);
      }
    }
    FaultyFileSystem files;
    files.onWrite = [&](const std::string&) {
      (void)::write(reached[1], "w", 1);
      char byte = 0;
      (void)::read(never[0], &byte, 1);  // nobody writes
    };
    (void)DeriveNew(folder, files);
    ::_exit(0);
  }
  ::close(reached[1]);  // a child that ends before its write ends the read below
  char byte = 0;
  EXPECT_EQ(::read(reached[0], &byte, 1), 1) << "the derivation never came to its write";
  for (const int fd : {reached[0], never[0], never[1]}) {
    ::close(fd);
  }
  return child;
}

int KillAndWait(pid_t child, int signal) {
  ::kill(child, signal);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

class Interrupted : public ::testing::TestWithParam<int> {};

TEST_P(Interrupted, RemovesTheStagingFileAndEndsByTheSignal) {
  const OneModule folder;
  const auto before = folder.Snapshot();
  const pid_t child = StartStalledDerivation(folder);
  EXPECT_TRUE(folder.HoldsStagingFile());
  const int status = KillAndWait(child, GetParam());
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << status;
  EXPECT_EQ(folder.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& row) { return std::string(sigabbrev_np(row.param)); });

// What the next derivation removes is StagingFiles.StaleOnesAreRemovedByTheNextDerivation's.
TEST(KilledOutright, LeavesAStagingFileThatIsStale) {
  const OneModule folder;
  const int status = KillAndWait(StartStalledDerivation(folder), SIGKILL);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  EXPECT_TRUE(folder.HoldsStagingFile());
  EXPECT_EQ(StaleStagingFiles(RealFileSystem(), folder.path()).size(), 1U);
}

}  // namespace
}  // namespace quillmere::testing
