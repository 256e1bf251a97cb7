#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "markup/byte_source.h"
#include "markup/markup_parser.h"
#include "markup/markup_recorder.h"
#include "markup/tree.h"

namespace orbis {
namespace {

using testsupport::describeTree;

std::unique_ptr<Tree> parseOnWorker(const std::string& input) {
  auto root = std::make_unique<Tree>();
  std::thread worker([&] {
    MarkupParser parser;
    MemorySource source(input.data(), static_cast<int64_t>(input.size()));
    parser.parse(&source, root.get());
  });
  worker.join();
  return root;
}

// The way documents load: a worker builds the tree and ends, another thread
// reads and destroys it, and the next tree reuses the memory. Several such
// loads run at once.
TEST(TreeMemoryTest, TreesBuiltOnWorkersAreDestroyedElsewhere) {
  std::string page;
  for (int i = 0; i < 200; ++i) {
    page += "<p class=c" + std::to_string(i) + " id='x'>text " + std::to_string(i) + "</p>";
  }
  std::string expected = describeTree(*parseOnWorker(page));
  std::vector<std::thread> loaders;
  std::vector<int> mismatches(3, 0);
  for (std::size_t loader = 0; loader < mismatches.size(); ++loader) {
    loaders.emplace_back([&, loader] {
      for (int round = 0; round < 15; ++round) {
        std::unique_ptr<Tree> tree = parseOnWorker(page);
        if (describeTree(*tree) != expected) {
          ++mismatches[loader];
        }
      }
    });
  }
  for (std::thread& loader : loaders) {
    loader.join();
  }
  EXPECT_EQ(mismatches, std::vector<int>(mismatches.size(), 0));
}

}  // namespace
}  // namespace orbis
