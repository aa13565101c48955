// quillmere-cli list, run as a process: what it prints for a module folder, and how it ends on
// a folder with nothing to offer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_fixture.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/profile_store.h"
#include "support/case_name.h"

namespace quillmere::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

std::string MessageLine(MessageId id) {
  return std::string(MessageText(id)) + "\n";
}

// Each output line as (file name, module name), split at its one tab.
std::vector<std::pair<std::string, std::string>> ListedModules(const std::string& out) {
  std::vector<std::pair<std::string, std::string>> modules;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << "no tab in '" << line << "'";
    modules.emplace_back(line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1));
  }
  return modules;
}

class ListCommandTest : public CliTest {};

TEST_F(ListCommandTest, PrintsFileNameTabModuleNameInFolderOrder) {
  const std::string folder = temp.MakeFolder("modules");
  temp.Write("modules/Star.INI", "[Main]\r\nUseDll=0,\r\n");
  temp.Write("modules/Epson.ini", "; receipt printer\r\n[Main]\r\nModule_Name=Epson TM-T88\r\n");
  temp.Write("modules/readme.txt", "[Main]\r\nModule_Name=Not a module\r\n");
  temp.Write("modules/aclas.ini", "[main]\nModule_Name=Aclas PP7X\n");
  const ProcessResult result = RunCli({"list", "--folder", folder});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "aclas.ini\tAclas PP7X\nEpson.ini\tEpson TM-T88\nStar.INI\t\n");
  EXPECT_EQ(result.err, "");
}

// The samples as the store reads them back: every module file once, with its Module_Name, and
// in the folder's listing order.
TEST_F(ListCommandTest, ListsTheSampleFolder) {
  const std::string folder = CopySamples();
  const ProcessResult result = RunCli({"list", "--folder", folder});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const auto listed = ListedModules(result.out);

  const std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  std::vector<std::pair<std::string, std::string>> expected;
  for (const std::string& name : ModuleFileNames(temp, "Printer Commands")) {
    expected.emplace_back(name,
                          store->ReadString("Main", "Module_Name", "", JoinPath(folder, name)));
  }
  ASSERT_GE(expected.size(), 5U);
  EXPECT_THAT(listed, UnorderedElementsAreArray(expected));

  std::vector<std::string> listedNames;
  listedNames.reserve(listed.size());
  for (const auto& module : listed) {
    listedNames.push_back(module.first);
  }
  std::vector<std::string> folderOrder = *RealFileSystem().ListFolder(folder);
  std::erase_if(folderOrder, [&](const std::string& name) {
    return std::find(listedNames.begin(), listedNames.end(), name) == listedNames.end();
  });
  EXPECT_THAT(listedNames, ElementsAreArray(folderOrder));
}

TEST_F(ListCommandTest, DefaultFolderIsBesideTheExecutable) {
  const std::string cli = CopyCli("tool/quillmere-cli");
  const std::string folder = CopySamples("tool/Printer Commands");
  temp.Write("tool/Printer Commands/Extra.ini", "[Main]\r\nModule_Name=Only beside this copy\r\n");
  const ProcessResult result = RunProcess(cli, {"list"});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  const auto listed = ListedModules(result.out);
  EXPECT_EQ(listed.size(), ModuleFileNames(temp, "tool/Printer Commands").size());
  EXPECT_THAT(listed, ::testing::Contains(std::pair<std::string, std::string>(
                          "Extra.ini", "Only beside this copy")));
}

TEST_F(ListCommandTest, NoFolderBesideTheExecutableShowsMessage1) {
  const std::string cli = CopyCli("tool/quillmere-cli");
  const ProcessResult result = RunProcess(cli, {"list"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, MessageLine(MessageId::kFolderMissing));
}

struct FolderCase {
  const char* name;
  const char* folder;             // given with --folder, inside the temporary folder
  std::vector<const char*> made;  // what the temporary folder holds: "x/" a folder, else a file
  MessageId message;
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const FolderCase& row, std::ostream* os) { *os << row.name; }
};

class ListFolderFailureTest : public CliTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ListFolderFailureTest, ShowsTheMessageAndExits1) {
  for (const std::string made : GetParam().made) {
    if (made.ends_with("/")) {
      temp.MakeFolder(made);
    } else {
      temp.Write(made, "[Main]\r\nModule_Name=Not offered\r\n");
    }
  }
  const ProcessResult result = RunCli({"list", "--folder", temp.PathOf(GetParam().folder)});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, MessageLine(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ListFolderFailureTest,
    ::testing::Values(FolderCase{"MissingFolder", "absent", {}, MessageId::kFolderMissing},
                      FolderCase{
                          "FileInsteadOfFolder", "modules", {"modules"}, MessageId::kFolderMissing},
                      FolderCase{"EmptyFolder", "modules", {"modules/"}, MessageId::kNoModuleFiles},
                      FolderCase{"NoModuleFiles",
                                 "modules",
                                 {"modules/old/", "modules/old/Epson.ini", "modules/Epson.ini.bak"},
                                 MessageId::kNoModuleFiles}),
    CaseName());

TEST_F(ListCommandTest, TrailingSeparatorNamesTheSameFolder) {
  const std::string folder = temp.MakeFolder("modules");
  temp.Write("modules/Epson.ini", "[Main]\r\nModule_Name=Epson\r\n");
  const ProcessResult result = RunCli({"list", "--folder=" + folder + "/"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "Epson.ini\tEpson\n");
}

}  // namespace
}  // namespace quillmere::testing
