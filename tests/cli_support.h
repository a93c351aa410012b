// Runs the command-line companion in-process, as the CLI tests call it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace corvanel::testing {

struct CliResult {
  int status;
  std::string out, err;
};

// RunCli with `args`, its standard output and error caught.
CliResult Cli(const std::vector<std::string>& args);

// Tests of the command line: C locale and UTC, and a log with one good frame in a
// folder of its own.
class CliWithLog : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LC_ALL", "C", 1);
    setenv("TZ", "UTC", 1);
    log_ = dir_.Write("traffic.bin", EncodeFrame(0x0041, Hex("01 00 00 12 34")));
  }
  TempDir dir_;
  std::string log_;
};

}  // namespace corvanel::testing
