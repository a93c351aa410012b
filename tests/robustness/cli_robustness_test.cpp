// The command line under misuse and odd paths: every mistake gives a clear message on
// standard error and the documented exit status, usage errors print nothing on standard
// output, and any byte string works as a path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "child_process.h"
#include "cli/cli.h"
#include "cli_support.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::Hex;
using testing::TempDir;

using testing::Cli;
using testing::CliResult;

using CliRobustness = testing::CliWithLog;

TEST_F(CliRobustness, UsageErrorsNameTheMistake) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--bogus"}, "unknown command '--bogus'"},
      {{"ANALYZE", "x"}, "unknown command 'ANALYZE'"},
      {{"analyze", "--bogus", "x"}, "unknown option '--bogus' for 'analyze'"},
      {{"analyze", "--address", "0041", "x"}, "unknown option '--address' for 'analyze'"},
      {{"export", "-o", "r", "x", "y"}, "unknown option '-o' for 'export'"},
      {{"export", "--type=", "x", "y"}, "--type must be auto, text or binary, not ''"},
      {{"export", "--type", "BINARY", "x", "y"}, "not 'BINARY'"},
      {{"export", "x", "y", "--mode"}, "option '--mode' needs a value"},
      {{"export", "--mecs"}, "option '--mecs' needs a value"},
      {{"export"}, "missing LOG and OUTPUT"},
      {{"analyze", "--", "x", "--type"}, "unexpected argument '--type'"},
  };
  for (const auto& c : cases) {
    const CliResult r = Cli(c.args);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, kExitUsage) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(r.err.rfind("corvanel-cli: ", 0), 0u) << shown;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << shown << r.err;
    EXPECT_NE(r.err.find("\nTry 'corvanel-cli --help'.\n"), std::string::npos) << shown;
  }
}

TEST_F(CliRobustness, AnyByteStringIsAPath) {
  // Blanks, line breaks, bytes that are not UTF-8 or are; "--" ends the options.
  for (const std::string name :
       {"with blank.log", "line\nbreak.log", "bad\xff\xfe\x80.log", "t\xe4st \xc3\xa4.log"}) {
    const std::string log = dir_.Write(name, EncodeFrame(0x0041, Hex("01 00 00 12 34")));
    const CliResult analysis = Cli({"analyze", "--", log});
    EXPECT_EQ(analysis.status, kExitSuccess) << name;
    EXPECT_EQ(analysis.err, "") << name;
    EXPECT_NE(analysis.out.find("\n*** Results for file " + log + " ***\n"), std::string::npos)
        << name;
    EXPECT_NE(analysis.out.find("2.1  Total frames analysed: 1\n"), std::string::npos) << name;

    const std::string out = dir_.Path("out " + name).string();
    const CliResult exported = Cli({"export", "--no-details", "--", log, out});
    EXPECT_EQ(exported.status, kExitSuccess) << name;
    EXPECT_EQ(exported.out + exported.err, "") << name;
    EXPECT_EQ(testing::ReadFile(out).rfind("FE 00 41 ", 0), 0u) << name;

    const std::string report = dir_.Path("report " + name).string();
    EXPECT_EQ(Cli({"analyze", "-o", report, "--", log}).status, kExitSuccess) << name;
    EXPECT_EQ(testing::ReadFile(report).rfind("\r\n*** Results for file " + log, 0), 0u);
  }
}

TEST_F(CliRobustness, FilesThatAreNotRegularOrCannotBeCreated) {
  ASSERT_EQ(::mkfifo(dir_.Path("fifo").c_str(), 0600), 0);
  const std::string folder = dir_.Path("").string();
  const std::string missing = dir_.Path("missing/report.txt").string();
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"analyze", dir_.Path("fifo").string()}, "Log file not exists.\n"},
      {{"analyze", "/dev/null"}, "Log file not exists.\n"},
      {{"export", folder, dir_.Path("out").string()}, "Log file not exists.\n"},
      {{"analyze", "-o", folder, log_}, "Cannot create file " + folder + "\n"},
      {{"analyze", "-o", missing, log_}, "Cannot create file " + missing + "\n"},
      {{"analyze", "-o", "/dev/full", log_},
       "Cannot write file /dev/full: No space left on device\n"},
      {{"analyze", "-o", log_, log_}, "The report file cannot be the log file.\n"},
      {{"export", log_, missing},
       "Unable to finish the file processing\nNo such file or directory\n"},
  };
  for (const auto& c : cases) {
    const CliResult r = Cli(c.args);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, kExitFailure) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(r.out, "") << shown;
  }
}

TEST_F(CliRobustness, ProcessKeepsStatusOutputAndErrorsApart) {
  using testing::RunCliProcess;
  const std::string odd = dir_.Write("odd\n\xff name.bin", EncodeFrame(1, {}));
  const struct {
    std::vector<std::string> args;
    int status;
    bool prints_report;
    std::string err;
  } cases[] = {
      {{"analyze", log_}, kExitSuccess, true, ""},
      {{"analyze", odd}, kExitSuccess, true, ""},
      {{"analyze", dir_.Path("missing").string()}, kExitFailure, false, "Log file not exists.\n"},
      {{"export", log_, "/dev/full"},
       kExitFailure,
       false,
       "Unable to finish the file processing\nNo space left on device\n"},
      {{"analyze"}, kExitUsage, false, "corvanel-cli: missing LOG\nTry 'corvanel-cli --help'.\n"},
      {{"frobnicate", log_},
       kExitUsage,
       false,
       "corvanel-cli: unknown command 'frobnicate'\nTry 'corvanel-cli --help'.\n"},
  };
  for (const auto& c : cases) {
    const auto r = RunCliProcess(c.args);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(r.out.rfind("\n*** Results for file " + c.args.back() + " ***\n", 0) == 0,
              c.prints_report)
        << shown;
    if (!c.prints_report) {
      EXPECT_EQ(r.out, "") << shown;
    }
  }
}

TEST_F(CliRobustness, ReportThatCannotBePrintedFails) {
  const auto r = testing::RunCliProcess({"analyze", log_}, "/dev/full");
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.err, "corvanel-cli: cannot write the report to standard output\n");
}

}  // namespace
}  // namespace corvanel
