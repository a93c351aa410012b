// Runs corvanel-cli as a child process, as a user's shell would, to see its exit status,
// its standard output and error apart, and its peak memory.
#pragma once

#include <string>
#include <vector>

namespace corvanel::testing {

struct ChildResult {
  int status = -1;        // exit status; -1 when the child did not exit normally
  std::string out;        // standard output, unless redirected
  std::string err;        // standard error
  long peak_rss_kib = 0;  // peak resident memory
};

// Runs the CLI with `args`, standard input from /dev/null. Standard output goes to
// `stdout_path` when given (e.g. "/dev/full"), otherwise it is captured.
ChildResult RunCliProcess(const std::vector<std::string>& args,
                          const std::string& stdout_path = "");

}  // namespace corvanel::testing
