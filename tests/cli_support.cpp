#include "cli_support.h"

#include <sstream>

#include "cli/cli.h"

namespace corvanel::testing {

CliResult Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace corvanel::testing
