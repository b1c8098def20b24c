#include "test_support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment) {
  char outTemplate[] = "/tmp/pellicor-child-XXXXXX";
  const int outFile = mkstemp(outTemplate);
  char errTemplate[] = "/tmp/pellicor-child-XXXXXX";
  const int errFile = mkstemp(errTemplate);
  if (outFile < 0 || errFile < 0) throw std::runtime_error("cannot create capture files");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outFile, 1);
  posix_spawn_file_actions_adddup2(&actions, errFile, 2);

  std::vector<std::string> argv{program.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp;
  for (const auto& [name, value] : environment) envp.push_back(name + "=" + value);
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envpPointers = Pointers(envp);

  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argvPointers.data(),
                                  envpPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  close(outFile);
  close(errFile);

  ChildResult result;
  if (spawned == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  }
  result.out = Slurp(outTemplate);
  result.err = Slurp(errTemplate);
  std::remove(outTemplate);
  std::remove(errTemplate);
  if (spawned != 0) throw std::runtime_error("cannot start " + program.string());
  return result;
}

}  // namespace testing_support
