#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "test_support.h"

extern char** environ;

namespace corvanel::testing {

ChildResult RunCliProcess(const std::vector<std::string>& args, const std::string& stdout_path) {
  TempDir dir;
  const std::string out_path = stdout_path.empty() ? dir.Path("out").string() : stdout_path;
  const std::string err_path = dir.Path("err").string();

  std::vector<std::string> argv_text{CORVANEL_CLI};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv_text[0]);

  int wait_status = 0;
  struct rusage usage {};
  while (::wait4(pid, &wait_status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + argv_text[0]);
  }
  ChildResult result;
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  result.peak_rss_kib = usage.ru_maxrss;
  if (stdout_path.empty()) result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  return result;
}

}  // namespace corvanel::testing
