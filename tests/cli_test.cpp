#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "cli_support.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::TempDir;

using testing::Cli;
using testing::CliResult;

using CliTest = testing::CliWithLog;

TEST_F(CliTest, AnalyzePrintsThePaneLines) {
  const CliResult r = Cli({"analyze", log_});
  EXPECT_EQ(r.status, kExitSuccess);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("\n*** Results for file " + log_ + " ***\nOpening as binary file.", 0), 0u);
  EXPECT_NE(r.out.find("\n0041 - Site address 1, Encoder address 1: 1 frame(s)\n\n"),
            std::string::npos);
}

TEST_F(CliTest, ReportFileHasCrLfLineEnds) {
  const std::string report = dir_.Path("report.txt").string();
  const CliResult r = Cli({"analyze", "-o", report, "--type", "binary", log_});
  EXPECT_EQ(r.status, kExitSuccess);
  EXPECT_EQ(r.out, "");
  const std::string saved = testing::ReadFile(report);
  const CliResult printed = Cli({"analyze", log_});
  std::string expected;
  for (char ch : printed.out) expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_EQ(saved, expected);
  EXPECT_EQ(saved.rfind("\r\n*** Results", 0), 0u);
}

TEST_F(CliTest, ErrorsGoToStandardError) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{"analyze", ""}, kExitFailure, "No log file opened.\n"},
      {{"analyze", dir_.Path("missing").string()}, kExitFailure, "Log file not exists.\n"},
      {{"export", log_, log_}, kExitFailure, "The export file cannot be the log file.\n"},
      {{"export", log_, "/dev/full"},
       kExitFailure,
       "Unable to finish the file processing\nNo space left on device\n"},
      {{"export", log_, dir_.Path("").string()},
       kExitFailure,
       "Unable to finish the file processing\nIs a directory\n"},
  };
  for (const auto& c : cases) {
    const CliResult r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[1];
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(CliTest, UsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"analyze"},
           {"analyze", "a", "b"},
           {"analyze", "--type", "hex", log_},
           {"analyze", "--mode", "keep", log_},
           {"export", log_},
           {"export", "--mode", "sideways", log_, "out"},
           {"export", "--no-details=yes", log_, "out"},
           {"analyze", log_, "--type"},
       }) {
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("--help"), std::string::npos);
  }
}

TEST_F(CliTest, HelpAndVersion) {
  const CliResult help = Cli({"--help"});
  EXPECT_EQ(help.status, kExitSuccess);
  EXPECT_NE(help.out.find("corvanel-cli analyze"), std::string::npos);
  EXPECT_NE(help.out.find("--no-details"), std::string::npos);
  // Every option's help starts in the same column.
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  --", 0) != 0) continue;
    EXPECT_EQ(line.find_first_not_of(' ', line.find("  ", 2)), 30u) << line;
  }
  EXPECT_EQ(Cli({"export", "--help"}).status, kExitSuccess);
  EXPECT_EQ(Cli({"--version"}).out, "corvanel-cli 0.94\n");
}

TEST_F(CliTest, ExportOptionsReachTheWriter) {
  const std::string out = dir_.Path("out.txt").string();
  EXPECT_EQ(
      Cli({"export", "--mode", "keep", "--no-details", "--address", "0041", "--mecs=01", log_, out})
          .status,
      kExitSuccess);
  EXPECT_EQ(testing::ReadFile(out).rfind("FE 00 41 00 05 01 00 00 12 34 ", 0), 0u);
  EXPECT_EQ(Cli({"export", "--address", "41", log_, out}).status, kExitSuccess);
  EXPECT_EQ(testing::ReadFile(out), "");
}

}  // namespace
}  // namespace corvanel
