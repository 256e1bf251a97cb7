#include "platform/shared/temp_file.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"

namespace orbis::platform {
namespace {

using orbis::testing::ScopedEnvironment;
using orbis::testing::ScratchFolder;

TEST(TempFileTest, CreatesAnEmptyPrivateFileWithThePrefixInTmpdir) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.path().empty());
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  std::string path;
  ASSERT_TRUE(createTempFile("~ob", path));
  std::filesystem::path file(path);
  EXPECT_EQ(file.parent_path(), folder.path());
  EXPECT_EQ(file.filename().string().rfind("~ob", 0), 0u) << path;

  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_EQ(status.st_size, 0);

  EXPECT_TRUE(deleteTempFile(path));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(deleteTempFile(path));
}

TEST(TempFileTest, TmpdirWithOrWithoutTrailingSlash) {
  ScratchFolder folder;
  for (std::string directory : {folder.path().string(), folder.path().string() + "/"}) {
    ScopedEnvironment tmpdir("TMPDIR", directory.c_str());
    std::string path;
    ASSERT_TRUE(createTempFile("~ob", path));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), folder.path()) << path;
    EXPECT_EQ(path.find("//"), std::string::npos) << path;
    EXPECT_TRUE(deleteTempFile(path));
  }
}

// The longest name the system takes (4095 bytes) is made and removed like
// any other; one byte more is refused, and no file is left.
TEST(TempFileTest, NamesUpToTheSystemsLimit) {
  ScratchFolder folder;
  constexpr std::size_t Limit = 4095;
  const std::string suffix = ".htm";  // "/~obXXXXXX.htm" follows the folder
  const std::size_t after = 1 + 3 + 6 + suffix.size();
  for (std::size_t length : {Limit, Limit + 1}) {
    // Folders of at most 200 bytes a name, the last one cut to fit.
    std::filesystem::path directory = folder.path() / "long";
    std::size_t wanted = length - after;
    while (directory.string().size() < wanted) {
      std::size_t left = wanted - directory.string().size() - 1;
      directory /= std::string(std::min<std::size_t>(left, 200), 'd');
    }
    std::filesystem::create_directories(directory);
    ASSERT_EQ(directory.string().size(), wanted);
    ScopedEnvironment tmpdir("TMPDIR", directory.c_str());
    std::string path;
    errno = 0;
    bool made = createTempFile("~ob", path, suffix.c_str());
    EXPECT_EQ(made, length == Limit) << length;
    if (made) {
      EXPECT_EQ(path.size(), Limit);
      EXPECT_TRUE(deleteTempFile(path));
    } else {
      EXPECT_EQ(errno, ENAMETOOLONG);
    }
    EXPECT_TRUE(std::filesystem::is_empty(directory)) << length;
    std::filesystem::remove_all(folder.path() / "long");
  }
}

TEST(TempFileTest, NamesAreUnique) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  std::set<std::string> paths;
  for (int i = 0; i < 50; ++i) {
    std::string path;
    ASSERT_TRUE(createTempFile("~ob", path));
    EXPECT_TRUE(paths.insert(path).second) << path;
  }
  for (const std::string& path : paths) EXPECT_TRUE(deleteTempFile(path));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

std::string readAll(std::FILE* stream) {
  std::string text;
  for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) text += static_cast<char>(c);
  std::fclose(stream);
  return text;
}

TEST(TempFileTest, OpensOnlyItsOwnLiveFilesEmptiedForWriting) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  std::string path;
  ASSERT_TRUE(createTempFile("~ob", path));
  for (const char* text : {"a longer text\n", "short"}) {
    std::FILE* out = openTempFile(path, TempFileAccess::Write);
    ASSERT_NE(out, nullptr);
    std::fputs(text, out);
    std::fclose(out);
    std::FILE* in = openTempFile(path, TempFileAccess::Read);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(readAll(in), text);
  }
  std::string other = (folder.path() / "other").string();
  std::fclose(std::fopen(other.c_str(), "w"));
  EXPECT_EQ(openTempFile(other, TempFileAccess::Read), nullptr);
  EXPECT_TRUE(deleteTempFile(path));
  EXPECT_EQ(openTempFile(path, TempFileAccess::Write), nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// A file the cleanup table cannot hold would survive an interrupt, so it is
// not made at all.
TEST(TempFileTest, NoFileBeyondWhatTheCleanupCanRemove) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  std::vector<std::string> made;
  std::string path;
  while (made.size() < 100000 && createTempFile("~ob", path)) made.push_back(path);
  EXPECT_EQ(errno, EMFILE);
  EXPECT_GE(made.size(), 64u);
  auto files = std::distance(std::filesystem::directory_iterator(folder.path()),
                             std::filesystem::directory_iterator());
  EXPECT_EQ(files, static_cast<long>(made.size()));
  for (const std::string& file : made) EXPECT_TRUE(deleteTempFile(file));
  EXPECT_TRUE(createTempFile("~ob", path));
  EXPECT_TRUE(deleteTempFile(path));
}

TEST(TempFileTest, MissingTmpdirFails) {
  ScratchFolder folder;
  std::string missing = (folder.path() / "missing").string();
  ScopedEnvironment tmpdir("TMPDIR", missing.c_str());
  std::string path = "unchanged";
  EXPECT_FALSE(createTempFile("~ob", path));
  EXPECT_EQ(path, "unchanged");
}

TEST(TempFileTest, EmptyTmpdirMeansTmp) {
  ScopedEnvironment tmpdir("TMPDIR", "");
  std::string path;
  ASSERT_TRUE(createTempFile("~ob", path));
  EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path("/tmp"));
  EXPECT_TRUE(deleteTempFile(path));
}

TEST(TempFileTest, SignalsRemoveTheFilesThatStillExist) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      installTempFileCleanup();
      std::string kept, removed;
      if (!createTempFile("~ob", kept) || !createTempFile("~ob", removed)) _exit(3);
      deleteTempFile(removed);
      raise(signalNumber);
      _exit(4);  // not reached when the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signalNumber << ", status " << status;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "signal " << signalNumber;
  }
}

// Started under nohup, or by a parent that ignores SIGPIPE, the process
// must keep ignoring those signals.
TEST(TempFileTest, SignalsIgnoredAtStartStayIgnored) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    installTempFileCleanup();
    std::string path;
    if (!createTempFile("~ob", path)) _exit(3);
    raise(SIGHUP);
    raise(SIGPIPE);
    _exit(deleteTempFile(path) ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

int hookPipe = -1;

void markHook() {
  char mark = 'h';
  if (write(hookPipe, &mark, 1) != 1) _exit(5);
}

// A crash still removes the files, after the hook (the terminal's
// restoration) has run; then the earlier handler of the fault, the
// default's or a sanitizer's, ends the process.
TEST(TempFileTest, FaultsRemoveTheFilesAfterTheHook) {
  ScratchFolder folder;
  ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
  enum class Fault { ReadOnlyWrite, Abort, SentSegv, Term };
  for (Fault fault : {Fault::ReadOnlyWrite, Fault::Abort, Fault::SentSegv, Fault::Term}) {
    SCOPED_TRACE(static_cast<int>(fault));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      close(pipeEnds[0]);
      hookPipe = pipeEnds[1];
      installTempFileCleanup();
      setSignalCleanupHook(markHook);
      std::string path;
      if (!createTempFile("~ob", path, ".htm")) _exit(3);
      void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (page == MAP_FAILED) _exit(3);
      if (fault == Fault::ReadOnlyWrite) *static_cast<volatile int*>(page) = 1;
      if (fault == Fault::Abort) std::abort();
      if (fault == Fault::SentSegv) raise(SIGSEGV);
      if (fault == Fault::Term) raise(SIGTERM);
      _exit(4);
    }
    close(pipeEnds[1]);
    char mark = 0;
    EXPECT_EQ(read(pipeEnds[0], &mark, 1), 1);
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    // A sanitizer reports a fault and exits with a status of its own.
    bool died = WIFSIGNALED(status) ||
                (WIFEXITED(status) && WEXITSTATUS(status) != 0 && WEXITSTATUS(status) < 3);
    EXPECT_TRUE(died) << "status " << status;
    if (fault == Fault::Term) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    }
    EXPECT_EQ(mark, 'h');
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  }
}

}  // namespace
}  // namespace orbis::platform
