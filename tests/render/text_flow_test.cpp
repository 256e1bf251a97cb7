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

// flowRun as the rule reads, on a model of its own: pieces of text with
// piece links by number, lines of pieces, and its own tab stops and line
// building, so that a fault in Layout's helpers cannot pass on both
// sides. Tabs are expanded and the long-word blank inserted in place, the
// rest copied at every split: quadratic, for small inputs.
class FlowModel {
public:
  FlowModel(int32_t width, int32_t tabSize, bool preformatted, int32_t indent)
      : width_(std::max(width, MinWrapWidth)),
        tabSize_(std::max(tabSize, 1)),  // sizes here stay below the upper limit
        preformatted_(preformatted),
        indent_(indent) {}

  void flow(RunKind kind, std::string text);
  // As describe() below writes a Layout.
  std::string describe() const;

private:
  struct Piece {
    RunKind kind;
    std::string text;
    int previous = -1;
    int next = -1;
  };

  int newPiece(RunKind kind, std::string text) {
    pieces_.push_back({kind, std::move(text)});
    return static_cast<int>(pieces_.size()) - 1;
  }
  void link(int first, int second) {
    pieces_[first].next = second;
    pieces_[second].previous = first;
  }
  void drop(int piece) {
    if (pieces_[piece].previous >= 0) pieces_[pieces_[piece].previous].next = -1;
  }
  void append(int piece);
  void newLine();
  // The cells a tab takes: up to the next multiple of the tab size.
  int32_t tabCells() const {
    int32_t cells = 1;
    while ((column_ + cells) % tabSize_ != 0) ++cells;
    return cells;
  }

  const int32_t width_;
  const int32_t tabSize_;
  const bool preformatted_;
  const int32_t indent_;
  std::vector<Piece> pieces_;
  std::vector<std::vector<int>> lines_;
  int32_t column_ = 0;
  int32_t breaks_ = TopOfDocument;
  int32_t line_ = 0;
};

// The indent goes before the first piece of a line, at most a line wide.
void FlowModel::append(int piece) {
  if (lines_.empty()) lines_.emplace_back();
  if (indent_ > 0 && lines_.back().empty()) {
    int32_t blanks = std::min(indent_, width_);
    lines_.back().push_back(newPiece(RunKind::Text, std::string(blanks, ' ')));
    column_ += blanks;
  }
  lines_.back().push_back(piece);
}

void FlowModel::newLine() {
  if (lines_.empty()) lines_.emplace_back();
  lines_.emplace_back();
  line_ = static_cast<int32_t>(lines_.size()) - 1;
  breaks_ = breaks_ == TopOfDocument ? 0 : breaks_ + 1;
  column_ = 0;
}

void FlowModel::flow(RunKind kind, std::string text) {
  int run = newPiece(kind, std::move(text));
  size_t i = 0;
  int64_t b = -1;
  for (;;) {
    std::string& s = pieces_[run].text;
    if (i >= s.size()) {
      if (!s.empty())
        append(run);
      else
        drop(run);
      return;
    }
    if (column_ < width_ || preformatted_) {
      if (s[i] == '\t') {
        int32_t extra = tabCells() - 1;
        s[i] = ' ';
        s.insert(i + 1, static_cast<size_t>(extra), ' ');
        i += static_cast<size_t>(extra);
        column_ += extra;
      }
      if (s[i] == '\r') s[i] = '\n';
      if (s[i] == '\n') {
        int next = newPiece(kind, s.substr(i + 1));
        std::string& head = pieces_[run].text;
        head.resize(i);
        if (!head.empty() && !pieces_[next].text.empty()) link(run, next);
        if (!head.empty())
          append(run);
        else
          drop(run);
        if (column_ > 0 || preformatted_) newLine();
        run = next;
        i = 0;
        b = -1;
        continue;
      }
      if (s[i] == ' ') b = static_cast<int64_t>(i);
      breaks_ = 0;
      column_ += 1;
      i += 1;
      continue;
    }
    if (b >= 0) {
      int next = newPiece(kind, s.substr(static_cast<size_t>(b) + 1));
      std::string& head = pieces_[run].text;
      head.resize(static_cast<size_t>(b));
      pieces_[run].next = next;
      if (!head.empty()) {
        pieces_[next].previous = run;
        append(run);
      } else {
        drop(run);
      }
      newLine();
      i = i - static_cast<size_t>(b) - 1;
      b = -1;
      column_ = static_cast<int32_t>(i);
      if (i > 0) breaks_ = 0;
      run = next;
      continue;
    }
    bool longWord = s.size() >= static_cast<size_t>(width_);
    if (column_ > 0) newLine();
    if (longWord) {
      std::string& word = pieces_[run].text;
      size_t first = word.find(' ');
      if (first == std::string::npos || first >= static_cast<size_t>(width_))
        word.insert(static_cast<size_t>(width_) - 1, 1, ' ');
    }
    i = 0;
    b = -1;
  }
}

std::string FlowModel::describe() const {
  std::map<int, int> number;
  for (const auto& line : lines_) {
    for (int piece : line) number.emplace(piece, static_cast<int>(number.size()));
  }
  auto name = [&](int piece) {
    if (piece < 0) return std::string("-");
    auto found = number.find(piece);
    return found == number.end() ? std::string("dangling") : std::to_string(found->second);
  };
  std::string out;
  for (const auto& line : lines_) {
    out += "0:";  // the model's lines are all left-aligned
    for (int index : line) {
      const Piece& piece = pieces_[static_cast<size_t>(index)];
      out += " [" + std::to_string(static_cast<int>(piece.kind)) + "'" + piece.text + "' " +
             name(piece.previous) + "<>" + name(piece.next) + "]";
    }
    out += "\n";
  }
  return out + "column " + std::to_string(column_) + " breaks " + std::to_string(breaks_) +
         " line " + std::to_string(line_) + "\n";
}

// Lines, runs (kind, text, piece links by run number) and the layout state.
std::string describe(const Layout& layout) {
  const Document& doc = layout.doc;
  const std::vector<testing::ShownRun> runs = testing::allRuns(doc);
  auto name = [&](int index) {
    if (index == -1) return std::string("-");
    return index < 0 ? std::string("dangling") : std::to_string(index);
  };
  std::string out;
  std::size_t next = 0;
  for (std::size_t k = 0; k < doc.lines.size(); ++k) {
    out += "0:";  // text flow alone pads no line
    for (; next < runs.size() && runs[next].line == static_cast<int32_t>(k); ++next) {
      out += " [" + std::to_string(static_cast<int>(runs[next].run->kind)) + "'" + runs[next].text +
             "' " + name(testing::neighbourPiece(runs, next, false)) + "<>" +
             name(testing::neighbourPiece(runs, next, true)) + "]";
    }
    out += "\n";
  }
  return out + "column " + std::to_string(layout.column) + " breaks " +
         std::to_string(layout.breakCount) + " line " + std::to_string(layout.currentLine) + "\n";
}

class TextFlowTest : public LayoutTest {
protected:
  void flow(const std::string& text, bool link = false) {
    layout->flowRun(link ? testing::linkRun(*doc, "t.htm") : testing::textRun(*doc), text);
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
    layout->preformatted = c.preformatted;
    flow(c.text);
    EXPECT_EQ(finishedLines(), c.lines) << c.text << " at width " << c.width;
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
    reset(200);
    layout->preformatted = true;
    flow("ab\tc");
    EXPECT_EQ(finishedLines(), std::vector<std::string>{expected}) << "tabsize " << size;
  }
}

TEST_F(TextFlowTest, IndentGoesBeforeTheFirstRunOfEachLine) {
  reset(10);
  layout->indent = 4;
  flow("hello world");
  // The indent does not count against the first run of a line.
  layout->newLine();
  flow("aaaaaaaaa");
  EXPECT_EQ(finishedLines(), (std::vector<std::string>{"    hello", "    world", "    aaaaaaaaa"}));
  for (const RenderedLine line : doc->lines) {
    ASSERT_EQ(line.runs.size(), 2u);
    EXPECT_EQ(line.textOf(line.runs[0]), "    ");
  }
}

TEST_F(TextFlowTest, BreaksLeaveAtMostOneBlankLineAndNoneAtTheTop) {
  using Step = void (*)(Layout&);
  Step text = [](Layout& l) { l.flowRun(l.normalStyle(), "t"); };
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
    reset(80);
    for (Step step : steps) step(*layout);
    EXPECT_EQ(finishedLines(), expected);
  }
}

TEST_F(TextFlowTest, AlignmentIsThatLastSetWhileALineWasCurrent) {
  reset(10);
  layout->setAlignment(Alignment::Right);  // no line yet: only for lines to come
  flow("a");
  layout->newLine();
  layout->setAlignment(Alignment::Center);
  const std::pair<const char*, Alignment> cases[] = {{nullptr, Alignment::Left},
                                                     {"RIGHT", Alignment::Right},
                                                     {"justify", Alignment::Right},
                                                     {"Center", Alignment::Center}};
  for (const auto& [value, expected] : cases) {
    auto tree = value ? testing::root(testing::tag("p", {{"align", value}}))
                      : testing::root(testing::tag("p", {}));
    layout->applyAlign(*testing::firstElement(*tree), Alignment::Left);
    EXPECT_EQ(layout->alignment, expected) << (value ? value : "no align");
  }
  flow("bb");
  layout->finish();
  EXPECT_EQ(testing::shownLines(*doc, 10), (std::vector<std::string>{"R|a", "C|bb"}));
  EXPECT_EQ(testing::lineTexts(*doc), (std::vector<std::string>{"         a", "    bb"}));
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
    std::string_view s = c.in;
    layout->trimJoinSpace(s, c.title);
    EXPECT_EQ(s, c.out) << "'" << c.in << "'";
    EXPECT_EQ(layout->endsInSpace, c.endsAfter) << "'" << c.in << "'";
  }
}

TEST_F(TextFlowTest, SplitPiecesStayLinkedUnlessOneComesOutEmpty) {
  reset(4);
  flow("aaa bbb ccc", true);
  layout->finish();
  auto runs = testing::allRuns(*doc);
  ASSERT_EQ(runs.size(), 3u);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(runs[i].run->isLink());
    EXPECT_EQ(runs[i].target, "t.htm");
    EXPECT_EQ(runs[i].run->firstPiece, runs[0].index);
    EXPECT_EQ(testing::neighbourPiece(runs, i, false), i > 0 ? static_cast<int>(i) - 1 : -1);
    EXPECT_EQ(testing::neighbourPiece(runs, i, true),
              i + 1 < runs.size() ? static_cast<int>(i) + 1 : -1);
  }
  // A wrap leaves a piece that starts with a line feed, or with a blank
  // that is then the break point: the dropped piece ends the chain.
  for (const char* text : {"aaaaaaaaa \nccc", "aaaaaaaaa  bbbbbbbbbb"}) {
    reset(10);
    flow(text, true);
    layout->finish();
    runs = testing::allRuns(*doc);
    ASSERT_EQ(runs.size(), 2u) << text;
    EXPECT_FALSE(runs[0].run->hasNextPiece()) << text;
    EXPECT_FALSE(runs[1].run->hasPreviousPiece()) << text;
    EXPECT_EQ(runs[1].run->firstPiece, runs[1].index) << text;
  }
  EXPECT_EQ(lineTexts(*doc), (std::vector<std::string>{"aaaaaaaaa", "", "bbbbbbbbbb"}));
}

TEST_F(TextFlowTest, LineFeedAfterAWrapCountsThePlacedCharacters) {
  reset(10);
  flow("aaaa bbbbb\n");
  EXPECT_EQ(layout->breakCount, 1);
  layout->paragraphBreak(false);
  flow("c");
  EXPECT_EQ(finishedLines(), (std::vector<std::string>{"aaaa", "bbbbb", "", "c"}));
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
      reset(width);
      bool pre = rng() % 3 == 0;
      int32_t indent = static_cast<int32_t>(rng() % 4);
      layout->preformatted = pre;
      layout->indent = indent;
      FlowModel expected(width, settings->tabsize, pre, indent);
      const int texts = 1 + static_cast<int>(rng() % 3);
      std::string flowed;
      for (int k = 0; k < texts; ++k) {
        std::string text = randomText();
        flowed += "[" + text + "]";
        if (k % 2) {
          layout->flowRun(testing::linkRun(*doc, "l"), text);
          expected.flow(RunKind::Link, text);
        } else {
          layout->flowRun(testing::textRun(*doc), text);
          expected.flow(RunKind::Text, text);
        }
      }
      layout->finish();
      ASSERT_EQ(describe(*layout), expected.describe())
          << "width " << width << " tabsize " << settings->tabsize << " pre " << pre << " indent "
          << indent << " texts " << flowed;
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
    reset(80);
    layout->preformatted = c.preformatted;
    flow(c.text);
    size_t cells = 0;
    for (const std::string& line : finishedLines()) cells += line.size();
    EXPECT_EQ(doc->lines.size(), c.lines);
    EXPECT_EQ(cells, c.cells);
  }
}

}  // namespace
}  // namespace orbis
