// Memory that runs out at any allocation of a load, on the worker or on the
// calling thread, fails that load and nothing else: no crash, no leak, no
// temporary file left behind, and the next load works.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/settings_sources.h"
#include "failing_allocator.h"
#include "host/fake_host.h"
#include "host/far_api.h"
#include "platform/scoped_environment.h"
#include "platform/shared/console.h"
#include "render/document.h"
#include "render/load_context.h"

extern "C" {
[[gnu::used]] char OrbisHostFileVersion[64] = "1.70";
}

namespace orbis {
namespace {

using testing::armAllocations;
using testing::disarmAllocations;

std::string samplePage() {
  std::string page = "<title>Memory</title><body bgcolor=navy text=white>";
  for (int i = 0; i < 20; ++i) {
    page += "<h2><a name=s" + std::to_string(i) + ">Section " + std::to_string(i) + "</a></h2>";
    page += "<p>Some text with <a href=\"other.htm#x" + std::to_string(i) +
            "\">a link that is long enough to wrap over the end of a line</a> &amp; more.</p>";
    page += "<ul><li>one<li>two &copy;</ul><pre>a\tb\nc</pre>";
  }
  return page;
}

std::string textOf(const Document& document) {
  std::string text;
  for (const RenderedLine line : document.lines) {
    text += line.text;
    text += '\n';
  }
  return text;
}

// Budgets from 0 up to what a whole load takes, so that every part of a load
// (name checks, the worker's parse, layout, writing) meets a failure.
std::vector<long> budgetsUpTo(long needed) {
  std::vector<long> budgets;
  long step = std::max(1L, needed / 150);
  for (long budget = 0; budget < needed; budget += step) budgets.push_back(budget);
  return budgets;
}

class OutOfMemoryTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setConsoleSizeOverride({60, 25});
    std::ofstream(pagePath, std::ios::binary) << samplePage();
  }
  void TearDown() override { platform::clearConsoleSizeOverride(); }

  bool temporaryFilesLeft() const {
    for (const auto& entry : std::filesystem::directory_iterator(temporary.path())) {
      if (entry.path().filename().string().rfind("~ob", 0) == 0) return true;
    }
    return false;
  }

  testing::ScratchFolder folder;
  testing::ScratchFolder temporary;
  testing::ScopedEnvironment tmpdir{"TMPDIR", temporary.path().c_str()};
  std::string pagePath = (folder.path() / "page.htm").string();
};

TEST_F(OutOfMemoryTest, ALoadFailsWhereverMemoryRunsOut) {
  std::unique_ptr<Settings> settings = builtInSettings();
  const LoadContext context{*settings, {60, 25}};
  std::string expected;
  long needed = 0;
  {
    Document document;
    armAllocations(1L << 40);
    bool loaded = document.load(pagePath.c_str(), context).loaded();
    needed = disarmAllocations();
    ASSERT_TRUE(loaded);
    expected = textOf(document);
  }
  ASSERT_GT(needed, 50);
  for (long budget : budgetsUpTo(needed)) {
    Document document;
    armAllocations(budget);
    LoadResult result = document.load(pagePath.c_str(), context);
    disarmAllocations();
    if (result.loaded()) {
      // A run may take fewer allocations than the first (the threads
      // interleave differently); then it must be whole.
      EXPECT_EQ(textOf(document), expected) << "budget " << budget;
      continue;
    }
    EXPECT_EQ(result.failure, LoadFailure::OutOfMemory) << "budget " << budget;
    EXPECT_TRUE(document.lines.empty()) << "budget " << budget;
  }
  EXPECT_FALSE(temporaryFilesLeft());
}

TEST_F(OutOfMemoryTest, OpenPluginSurvivesAndTheNextOpenWorks) {
  testing::FakeHost host;
  PluginStartupInfo startup = host.startupInfo();
  SetStartupInfo(&startup);
  intptr_t item = reinterpret_cast<intptr_t>(pagePath.c_str());
  armAllocations(1L << 40);
  OpenPlugin(OPEN_COMMANDLINE, item);
  long needed = disarmAllocations();
  for (long budget : budgetsUpTo(needed)) {
    host.calls.clear();
    armAllocations(budget);
    EXPECT_EQ(OpenPlugin(OPEN_COMMANDLINE, item), INVALID_HANDLE_VALUE);
    disarmAllocations();
    // The screen under the progress box always comes back.
    long saves = std::count_if(host.calls.begin(), host.calls.end(),
                               [](const std::string& call) { return call.rfind("SAVE", 0) == 0; });
    long restores = std::count(host.calls.begin(), host.calls.end(), "RESTORE");
    EXPECT_EQ(saves, restores) << "budget " << budget;
    EXPECT_FALSE(temporaryFilesLeft()) << "budget " << budget;
  }
  host.calls.clear();
  OpenPlugin(OPEN_COMMANDLINE, item);
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "EDITOR \"Memory\" 0"), 1);
  ExitFAR();
}

}  // namespace
}  // namespace orbis
