// The pieces of a link that layout split: each lies on a later line than the
// piece before it, the links between them go both ways, and the writer gives
// all of them the chain's first piece. The viewer relies on this to light
// and follow a link without walking it.
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

const LinkRun* walkToFirst(const LinkRun* piece) {
  while (const LinkRun* before = asLink(piece->previousPiece)) piece = before;
  return piece;
}

class LinkChainTest : public LayoutTest {
protected:
  void layOutAndWrite(const std::string& page, int32_t width) {
    reset(width);
    Node tree;
    MemorySource source(page.data(), static_cast<int64_t>(page.size()));
    DocumentParser parser(settings.get());
    parser.parse(&source, &tree);
    layout->layOutChildren(&tree);
    ASSERT_EQ(writeText(*doc, layout->currentLine, {80, 25}), 0);
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
      for (const TextRun* run : testing::allRuns(*doc)) {
        const LinkRun* link = asLink(run);
        if (link == nullptr) continue;
        ++links;
        SCOPED_TRACE(page + " at width " + std::to_string(width) + ", piece \"" + link->text +
                     "\"");
        if (const TextRun* before = link->previousPiece) {
          EXPECT_LT(before->line, link->line);
          EXPECT_EQ(before->nextPiece, link);
        }
        if (const TextRun* after = link->nextPiece) {
          EXPECT_EQ(after->previousPiece, link);
        }
        EXPECT_EQ(link->firstPiece, walkToFirst(link));
      }
      EXPECT_GT(links, 0) << page;
    }
  }
}

}  // namespace
}  // namespace orbis
