// The pieces of a link that layout split: each lies on a later line than the
// piece before it, the links between them go both ways, and all of them know
// the chain's first piece. The viewer relies on this to light and follow a
// link without walking it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "markup/document_parser.h"
#include "render/layout_fixture.h"
#include "render/writer.h"

namespace orbis {
namespace {

using testing::LayoutTest;

class LinkChainTest : public LayoutTest {
protected:
  void layOutAndWrite(const std::string& page, int32_t width) {
    reset(width);
    Tree tree;
    MemorySource source(page.data(), static_cast<int64_t>(page.size()));
    DocumentParser parser(settings.get());
    parser.parse(&source, &tree);
    layout->layOutChildren(tree);
    layout->finish();
  }
};

TEST_F(LinkChainTest, PiecesGoDownTheLinesAndKnowTheirFirstPiece) {
  const std::string pages[] = {
      "<a href=x>a link whose words wrap over several lines of any width at all</a> after",
      "<p align=center>x <a href=c>centred words that wrap and wrap again</a></p>",
      "<ul><li><a href=l>an indented link in a list item that wraps</a></ul>",
      "<pre><a href=p>one\ntwo\n\nfour  words\tand tabs\n</a></pre>",
      "<a href=w>averyveryverylongwordthatmustbecutintopieces and more</a>",
      "<a href=s>one <b>two</b> three <i>four five six seven</i></a>",
      "<p align=right><a href=r>right aligned words that wrap</a></p><a href=n></a>",
  };
  for (const std::string& page : pages) {
    for (int32_t width = 2; width <= 30; width += 3) {
      layOutAndWrite(page, width);
      int links = 0;
      const std::vector<testing::ShownRun> runs = testing::allRuns(*doc);
      for (std::size_t i = 0; i < runs.size(); ++i) {
        const testing::ShownRun& link = runs[i];
        if (!link.run->isLink()) continue;
        ++links;
        SCOPED_TRACE(page + " at width " + std::to_string(width) + ", piece \"" + link.text + "\"");
        // Walking back by the flags reaches the piece the chain names first.
        std::size_t first = i;
        while (runs[first].run->hasPreviousPiece()) {
          int before = testing::neighbourPiece(runs, first, false);
          ASSERT_GE(before, 0);
          EXPECT_LT(runs[before].line, runs[first].line);
          EXPECT_TRUE(runs[before].run->hasNextPiece());
          EXPECT_EQ(runs[before].target, link.target);
          first = static_cast<std::size_t>(before);
        }
        EXPECT_EQ(link.run->firstPiece, runs[first].index);
        EXPECT_EQ(&doc->lines.run(link.run->firstPiece), runs[first].run);
        if (link.run->hasNextPiece()) {
          EXPECT_GT(testing::neighbourPiece(runs, i, true), 0);
        }
      }
      EXPECT_GT(links, 0) << page;
    }
  }
}

}  // namespace
}  // namespace orbis
