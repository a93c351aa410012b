// Runs the command-line companion in-process, as the CLI tests call it.
#pragma once

#include <string>
#include <vector>

namespace corvanel::testing {

struct CliResult {
  int status;
  std::string out, err;
};

// RunCli with `args`, its standard output and error caught.
CliResult Cli(const std::vector<std::string>& args);

}  // namespace corvanel::testing
