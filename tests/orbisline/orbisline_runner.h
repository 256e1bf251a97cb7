// Drives the built orbisline executable as a user would: arguments in,
// stdout, stderr and the exit status out, with a private temporary folder so
// that leftover temporary files can be counted, an empty registry so that
// the palette is the built-in one, a private home and configuration folder
// so that no user's settings are read, and the C locale.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/scoped_environment.h"

namespace orbis::testing {

inline const char* const OrbislineBinary = ORBIS_BINARY_DIR "/orbisline";

struct Outcome {
  int status = -1;  // exit code, or -1 when the process did not exit normally
  std::string out;
  std::string err;
};

inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// How one child differs from the plain run: another standard output or
// input (descriptors made with O_CLOEXEC, so the child keeps no other copy),
// environment variables, SIGPIPE ignored from the start, a limit on the
// size of the files it writes (0: none).
struct ChildSetup {
  int output = -1;
  int input = -1;  // standard input: /dev/null unless given
  std::vector<std::pair<std::string, std::string>> environment{};
  bool ignorePipeSignal = false;
  rlim_t fileSizeLimit = 0;
};

class OrbislineRunner : public ::testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directory(folder.path() / "tmp");
    std::filesystem::create_directory(folder.path() / "registry");
    std::filesystem::create_directory(folder.path() / "config");
  }

  std::string writeFile(const std::string& name, const std::string& content) {
    std::filesystem::path path = folder.path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }

  Outcome run(const std::vector<std::string>& arguments, const ChildSetup& setup = {}) {
    pid_t child = start(arguments, setup);
    Outcome outcome;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
      outcome.status = WEXITSTATUS(status);
    }
    outcome.out = readWholeFile(folder.path() / "stdout");
    outcome.err = readWholeFile(folder.path() / "stderr");
    return outcome;
  }

  pid_t start(const std::vector<std::string>& arguments, const ChildSetup& setup = {}) {
    std::filesystem::path outPath = folder.path() / "stdout";
    std::filesystem::path errPath = folder.path() / "stderr";
    std::string tmpdir = (folder.path() / "tmp").string();
    std::string registry = (folder.path() / "registry").string();
    std::string config = (folder.path() / "config").string();
    std::string home = folder.path().string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(OrbislineBinary));
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child == 0) {
      int out = setup.output >= 0 ? setup.output
                                  : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int in = setup.input >= 0 ? setup.input : open("/dev/null", O_RDONLY);
      if (out < 0 || err < 0 || in < 0) _exit(125);
      dup2(in, 0);
      dup2(out, 1);
      dup2(err, 2);
      setenv("TMPDIR", tmpdir.c_str(), 1);
      setenv("ORBISLINE_REGISTRY", registry.c_str(), 1);
      setenv("XDG_CONFIG_HOME", config.c_str(), 1);
      setenv("HOME", home.c_str(), 1);
      unsetenv("ORBISLINE_PLUGIN");
      setenv("LC_ALL", "C", 1);
      for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
      for (const auto& [name, value] : setup.environment) setenv(name.c_str(), value.c_str(), 1);
      // An ignored signal stays ignored across exec.
      if (setup.ignorePipeSignal) signal(SIGPIPE, SIG_IGN);
      if (setup.fileSizeLimit != 0) {
        // The limit's signal as a shell leaves it: the program must stand it.
        signal(SIGXFSZ, SIG_DFL);
        rlimit limit{setup.fileSizeLimit, setup.fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      execv(OrbislineBinary, argv.data());
      _exit(126);
    }
    return child;
  }

  int temporaryFilesLeft() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "tmp")) {
      if (entry.path().filename().string().rfind("~ob", 0) == 0) ++count;
    }
    return count;
  }

  ScratchFolder folder;
  // Set in the environment of every child this test starts (a ChildSetup's
  // come after these).
  std::vector<std::pair<std::string, std::string>> environment;
};

}  // namespace orbis::testing
