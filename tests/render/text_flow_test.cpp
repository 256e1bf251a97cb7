#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "render/layout_fixture.h"
#include "render/text_flow.h"

namespace orbis {
namespace {

using testing::LayoutTest;
using testing::lineTexts;

// flowRun as the rule reads, on the run's own text: tabs expanded and the
// long-word blank inserted in place, the rest copied at every split.
// Quadratic, for small inputs; the real one must match it exactly.
void referenceFlowRun(Layout& doc, std::unique_ptr<TextRun> run) {
  const int32_t w = std::max(doc.wrapWidth, MinWrapWidth);
  const int32_t t = effectiveTabSize(doc.settings.tabsize);
  auto drop = [](std::unique_ptr<TextRun> piece) {
    if (piece->previousPiece) piece->previousPiece->nextPiece = nullptr;
  };
  size_t i = 0;
  int64_t b = -1;
  for (;;) {
    std::string& s = run->text;
    if (i >= s.size()) {
      if (!s.empty())
        doc.appendRun(std::move(run));
      else
        drop(std::move(run));
      return;
    }
    if (doc.column < w || doc.preformatted) {
      if (s[i] == '\t') {
        s[i] = ' ';
        int32_t e = tabExpansion(doc.column, t);
        s.insert(i + 1, static_cast<size_t>(e), ' ');
        i += static_cast<size_t>(e);
        doc.column += e;
      }
      if (s[i] == '\r') s[i] = '\n';
      if (s[i] == '\n') {
        auto next = run->emptyCopy();
        next->text = s.substr(i + 1);
        s.resize(i);
        if (!s.empty() && !next->text.empty()) {
          run->nextPiece = next.get();
          next->previousPiece = run.get();
        }
        if (!s.empty())
          doc.appendRun(std::move(run));
        else
          drop(std::move(run));
        if (doc.column > 0 || doc.preformatted) doc.newLine();
        run = std::move(next);
        i = 0;
        b = -1;
        continue;
      }
      if (s[i] == ' ') b = static_cast<int64_t>(i);
      doc.breakCount = 0;
      doc.column += 1;
      i += 1;
      continue;
    }
    if (b >= 0) {
      auto next = run->emptyCopy();
      next->text = s.substr(static_cast<size_t>(b) + 1);
      s.resize(static_cast<size_t>(b));
      run->nextPiece = next.get();
      if (!s.empty()) {
        next->previousPiece = run.get();
        doc.appendRun(std::move(run));
      } else {
        drop(std::move(run));
      }
      doc.newLine();
      i = i - static_cast<size_t>(b) - 1;
      b = -1;
      doc.column = static_cast<int32_t>(i);
      if (i > 0) doc.breakCount = 0;
      run = std::move(next);
      continue;
    }
    bool longWord = s.size() >= static_cast<size_t>(w);
    if (doc.column > 0) doc.newLine();
    if (longWord) {
      size_t first = s.find(' ');
      if (first == std::string::npos || first >= static_cast<size_t>(w))
        s.insert(static_cast<size_t>(w) - 1, 1, ' ');
    }
    i = 0;
    b = -1;
  }
}

// Lines, runs (kind, text, piece links by run number) and the layout state.
std::string describe(const Layout& layout) {
  const Document& doc = layout.doc;
  std::map<const TextRun*, int> number;
  for (const TextRun* run : testing::allRuns(doc))
    number.emplace(run, static_cast<int>(number.size()));
  auto name = [&](const TextRun* run) {
    if (run == nullptr) return std::string("-");
    auto found = number.find(run);
    return found == number.end() ? std::string("dangling") : std::to_string(found->second);
  };
  std::string out;
  for (const RenderedLine& line : doc.lines) {
    out += std::to_string(static_cast<int>(line.alignment)) + ":";
    for (const auto& run : line.runs) {
      out += " [" + std::to_string(static_cast<int>(run->kind())) + "'" + run->text + "' " +
             name(run->previousPiece) + "<>" + name(run->nextPiece) + "]";
    }
    out += "\n";
  }
  return out + "column " + std::to_string(layout.column) + " breaks " +
         std::to_string(layout.breakCount) + " line " + std::to_string(layout.currentLine) + "\n";
}

class TextFlowTest : public LayoutTest {
protected:
  void flow(const std::string& text, bool link = false) {
    if (link)
      layout->flowRun(
          std::make_unique<LinkRun>(doc->linkColors, doc->activeLinkColors, text, "t.htm"));
    else
      layout->flowRun(std::make_unique<TextRun>(doc->normalColors, text));
  }
};

struct FlowCase {
  int32_t width;
  bool preformatted;
  std::string text;
  std::vector<std::string> lines;
};

TEST_F(TextFlowTest, PlacesTextAsTheRulesSay) {
  const std::string x100(100, 'x');
  const FlowCase cases[] = {
      {10, false, "aaaa bbbbb cc", {"aaaa", "bbbbb cc"}},
      {80, false, x100, {"", x100.substr(0, 79), x100.substr(0, 21)}},
      {10, false, "xxxxxxxxxx more", {"", "xxxxxxxxx", "x more"}},
      // Every cut of a long word leaves the line it began on empty.
      {10,
       false,
       "ab " + std::string(25, 'y'),
       {"ab", "", "yyyyyyyyy", "", "yyyyyyyyy", "yyyyyyy"}},
      // The character that did not fit is examined on the new line.
      {10, false, "aaaa bbbbb cccccc", {"aaaa", "bbbbb", "cccccc"}},
      {10, false, "aaaa bbbbb\tc", {"aaaa", "bbbbb   c"}},
      {10, false, "aaaa bbbbb\rcc", {"aaaa", "bbbbb", "cc"}},
      {10, false, "aaaa bbbbb\ncc", {"aaaa", "bbbbb", "cc"}},
      // Too narrow to cut words: treated as width 2.
      {1, false, "abc", {"", "a", "bc"}},
      {0, false, "abc", {"", "a", "bc"}},
      {10, true, "a\n\nb", {"a", "", "b"}},
      {10, true, std::string(30, 'p'), {std::string(30, 'p')}},
      {10, true, "abcde\tx", {"abcde   x"}},
      {10, true, "abcdefgh\tx", {"abcdefgh        x"}},
  };
  for (const FlowCase& c : cases) {
    reset(c.width);
    doc->lines.clear();
    layout->preformatted = c.preformatted;
    flow(c.text);
    EXPECT_EQ(lineTexts(*doc), c.lines) << c.text << " at width " << c.width;
  }
}

TEST_F(TextFlowTest, TabStopsFollowTheSettingsWithinLimits) {
  const std::pair<int32_t, std::string> cases[] = {{0, "ab c"},
                                                   {-1, "ab c"},
                                                   {1, "ab c"},
                                                   {4, "ab  c"},
                                                   {1000, "ab" + std::string(62, ' ') + "c"}};
  for (const auto& [size, expected] : cases) {
    settings->tabsize = size;
    doc->lines.clear();
    reset(200);
    layout->preformatted = true;
    flow("ab\tc");
    EXPECT_EQ(lineTexts(*doc), std::vector<std::string>{expected}) << "tabsize " << size;
  }
}

TEST_F(TextFlowTest, IndentGoesBeforeTheFirstRunOfEachLine) {
  reset(10);
  layout->indent = 4;
  flow("hello world");
  ASSERT_EQ(doc->lines.size(), 2u);
  for (const RenderedLine& line : doc->lines) {
    ASSERT_EQ(line.runs.size(), 2u);
    EXPECT_EQ(line.runs[0]->text, "    ");
  }
  // The indent does not count against the first run of a line.
  layout->newLine();
  flow("aaaaaaaaa");
  EXPECT_EQ(lineTexts(*doc).back(), "    aaaaaaaaa");
}

TEST_F(TextFlowTest, BreaksLeaveAtMostOneBlankLineAndNoneAtTheTop) {
  using Step = void (*)(Layout&);
  Step text = [](Layout& l) { l.flowRun(std::make_unique<TextRun>(l.doc.normalColors, "t")); };
  Step br = [](Layout& l) { l.lineBreak(false); };
  Step soft = [](Layout& l) { l.lineBreak(true); };
  Step para = [](Layout& l) { l.paragraphBreak(false); };
  Step end = [](Layout& l) { l.paragraphBreak(true); };
  const std::pair<std::vector<Step>, std::vector<std::string>> cases[] = {
      {{para, end, soft, text}, {"t"}},           {{br, text}, {"", "t"}},
      {{text, para, para, text}, {"t", "", "t"}}, {{text, soft, soft, end, text}, {"t", "t"}},
      {{text, br, br, text}, {"t", "", "t"}},
  };
  for (const auto& [steps, expected] : cases) {
    doc->lines.clear();
    reset(80);
    for (Step step : steps) step(*layout);
    EXPECT_EQ(lineTexts(*doc), expected);
  }
}

TEST_F(TextFlowTest, AlignmentIsThatLastSetWhileALineWasCurrent) {
  layout->setAlignment(Alignment::Right);  // no line yet: only for lines to come
  flow("a");
  layout->newLine();
  layout->setAlignment(Alignment::Center);
  auto p = std::make_unique<ElementNode>("p");
  const std::pair<const char*, Alignment> cases[] = {{nullptr, Alignment::Left},
                                                     {"RIGHT", Alignment::Right},
                                                     {"justify", Alignment::Right},
                                                     {"Center", Alignment::Center}};
  for (const auto& [value, expected] : cases) {
    p = std::make_unique<ElementNode>("p");
    if (value) p->addAttribute("align", value);
    layout->applyAlign(*p, Alignment::Left);
    EXPECT_EQ(layout->alignment, expected) << (value ? value : "no align");
  }
  EXPECT_EQ(doc->lines[0].alignment, Alignment::Right);
  EXPECT_EQ(doc->lines[1].alignment, Alignment::Center);
}

TEST_F(TextFlowTest, TrimJoinSpaceDropsOneBlankAfterWhiteSpace) {
  struct Case {
    bool endsInSpace, preformatted, title;
    std::string in, out;
    bool endsAfter;
  };
  const Case cases[] = {
      {true, false, false, " two", "two", false}, {false, false, false, " two", " two", false},
      {true, false, false, "one ", "one ", true}, {true, false, false, " ", "", true},
      {false, false, false, "", "", false},       {true, true, false, " x", " x", true},
      {true, true, true, " x\t", "x\t", true},    {true, false, false, "\nx", "x", false},
  };
  for (const Case& c : cases) {
    layout->endsInSpace = c.endsInSpace;
    layout->preformatted = c.preformatted;
    std::string s = c.in;
    layout->trimJoinSpace(s, c.title);
    EXPECT_EQ(s, c.out) << "'" << c.in << "'";
    EXPECT_EQ(layout->endsInSpace, c.endsAfter) << "'" << c.in << "'";
  }
}

TEST_F(TextFlowTest, SplitPiecesStayLinkedUnlessOneComesOutEmpty) {
  reset(4);
  flow("aaa bbb ccc", true);
  auto runs = testing::allRuns(*doc);
  ASSERT_EQ(runs.size(), 3u);
  for (size_t i = 0; i < runs.size(); ++i) {
    const LinkRun* link = asLink(runs[i]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->target, "t.htm");
    EXPECT_EQ(runs[i]->previousPiece, i > 0 ? runs[i - 1] : nullptr);
    EXPECT_EQ(runs[i]->nextPiece, i + 1 < runs.size() ? runs[i + 1] : nullptr);
  }
  // A wrap leaves a piece that starts with a line feed, or with a blank
  // that is then the break point: the dropped piece ends the chain.
  for (const char* text : {"aaaaaaaaa \nccc", "aaaaaaaaa  bbbbbbbbbb"}) {
    doc->lines.clear();
    reset(10);
    flow(text, true);
    runs = testing::allRuns(*doc);
    ASSERT_EQ(runs.size(), 2u) << text;
    EXPECT_EQ(runs[0]->nextPiece, nullptr) << text;
    EXPECT_EQ(runs[1]->previousPiece, nullptr) << text;
  }
  EXPECT_EQ(lineTexts(*doc), (std::vector<std::string>{"aaaaaaaaa", "", "bbbbbbbbbb"}));
}

TEST_F(TextFlowTest, LineFeedAfterAWrapCountsThePlacedCharacters) {
  reset(10);
  flow("aaaa bbbbb\n");
  EXPECT_EQ(layout->breakCount, 1);
  layout->paragraphBreak(false);
  flow("c");
  EXPECT_EQ(lineTexts(*doc), (std::vector<std::string>{"aaaa", "bbbbb", "", "c"}));
}

// Random texts of letters, blanks, tabs and line ends at every width: the
// linear flow must give the same lines, runs and links as the rule.
TEST_F(TextFlowTest, MatchesTheLiteralRuleOnRandomTexts) {
  std::mt19937 rng(20240611);
  const std::string alphabet = "aaaaaaabbbbccd      \t\t\n\r";
  auto randomText = [&] {
    std::string s(rng() % 48, 'a');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    if (rng() % 4 == 0) s.insert(rng() % (s.size() + 1), std::string(rng() % 40, 'w'));
    return s;
  };
  const int32_t tabSizes[] = {8, 4, 3, 1, 0};
  for (int32_t width = 0; width <= 24; ++width) {
    for (int trial = 0; trial < 150; ++trial) {
      settings->tabsize = tabSizes[rng() % 5];
      Document expectedDoc;
      Layout expected(expectedDoc, *settings, width);
      reset(width);
      bool pre = rng() % 3 == 0;
      int32_t indent = static_cast<int32_t>(rng() % 4);
      std::vector<std::string> texts(1 + rng() % 3);
      for (std::string& s : texts) s = randomText();
      for (Layout* l : {&expected, layout.get()}) {
        l->preformatted = pre;
        l->indent = indent;
        for (size_t k = 0; k < texts.size(); ++k) {
          auto run = k % 2 ? std::make_unique<LinkRun>(ColorPair{}, ColorPair{}, texts[k], "l")
                           : std::make_unique<TextRun>(ColorPair{}, texts[k]);
          if (l == layout.get())
            l->flowRun(std::move(run));
          else
            referenceFlowRun(*l, std::move(run));
        }
      }
      ASSERT_EQ(describe(*layout), describe(expected))
          << "width " << width << " tabsize " << settings->tabsize << " pre " << pre << " indent "
          << indent;
    }
  }
}

// Ten megabytes in one run would take hours if each cut copied the rest.
TEST_F(TextFlowTest, HugeRunsFlowInLinearTime) {
  const size_t size = 10 * 1024 * 1024;
  struct Case {
    std::string text;
    bool preformatted;
    size_t lines, cells;
  };
  std::string words;
  while (words.size() < size) words += "abcdefg ";
  // A long word: an empty line and 79 characters for each cut, until the
  // rest fits on one line.
  size_t cutLines = 1;
  for (size_t rest = size; rest > 80; rest -= 79) cutLines += 2;
  const Case cases[] = {
      {std::string(size, 'w'), false, cutLines, size},
      {std::string(size, 'p'), true, 1, size},
      // Ten words a line; only the last line keeps its final blank.
      {words, false, size / 80, size - size / 80 + 1},
      {std::string(size / 8, '\t'), true, 1, size},
  };
  for (const Case& c : cases) {
    doc->lines.clear();
    reset(80);
    layout->preformatted = c.preformatted;
    flow(c.text);
    size_t cells = 0;
    for (const std::string& line : lineTexts(*doc)) cells += line.size();
    EXPECT_EQ(doc->lines.size(), c.lines);
    EXPECT_EQ(cells, c.cells);
  }
}

}  // namespace
}  // namespace orbis
