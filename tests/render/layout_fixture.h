// Shared set-up for the layout tests: the built-in settings (palette from an
// empty scratch registry), a Document with a Layout at its top as a load
// starts them, hand-built trees, and readers of the lines layout produced.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/settings_sources.h"
#include "markup/node.h"
#include "markup/token.h"
#include "markup/tree.h"
#include "platform/scoped_environment.h"
#include "render/document.h"
#include "render/layout.h"

namespace orbis::testing {

using Attributes = std::initializer_list<std::pair<const char*, const char*>>;

// A node to be: trees are written as nested calls, root(tag(..., txt(...))),
// and built in document order once whole.
struct PlannedNode {
  bool isText = false;
  std::string nameOrText;
  std::string attributes;  // AttributeRange's encoding
  std::vector<PlannedNode> children;
};

inline PlannedNode txt(std::string_view value) { return {true, std::string(value), {}, {}}; }

template <typename... Children>
PlannedNode tag(std::string_view name, Attributes attributes, Children&&... children) {
  Token token(Token::Kind::Element);
  for (const auto& [attributeName, value] : attributes) {
    token.addAttribute(attributeName, value);
  }
  PlannedNode planned{false, std::string(name), token.attributes, {}};
  (planned.children.push_back(std::forward<Children>(children)), ...);
  return planned;
}

// Appends planned, its children and their descendants to tree.
inline void append(Tree& tree, const PlannedNode& planned) {
  if (planned.isText) {
    if (!planned.nameOrText.empty()) tree.appendText(planned.nameOrText);
    return;
  }
  ElementNode* element = tree.appendElement(planned.nameOrText, Unclassified, planned.attributes);
  for (const PlannedNode& child : planned.children) append(tree, child);
  if (!tree.endsWith(element)) tree.close(element);
}

template <typename... Children>
std::unique_ptr<Tree> root(Children&&... children) {
  auto tree = std::make_unique<Tree>();
  (append(*tree, children), ...);
  return tree;
}

// The first element of tree's top level.
inline const ElementNode* firstElement(const Tree& tree) {
  for (const Node* node : tree.children()) {
    if (const ElementNode* element = asElement(node)) return element;
  }
  return nullptr;
}

// The text of each line.
inline std::vector<std::string> lineTexts(const Document& doc) {
  std::vector<std::string> texts;
  for (const RenderedLine line : doc.lines) texts.emplace_back(line.text);
  return texts;
}

// Each line as the alignment its padding shows for a layout of width cells
// (L, R or C; a line that is empty or has no room to move shows L), "|"
// and its text without the padding.
inline std::vector<std::string> shownLines(const Document& doc, int32_t width) {
  std::vector<std::string> shown;
  for (const RenderedLine line : doc.lines) {
    std::string_view text = line.text;
    char alignment = 'L';
    if (!line.runs.empty() && line.runs[0].isPadding()) {
      auto padding = static_cast<int32_t>(line.runs[0].length());
      text.remove_prefix(static_cast<std::size_t>(padding));
      auto rest = static_cast<int32_t>(text.size());
      alignment = padding == width - rest ? 'R' : padding == (width - rest) / 2 ? 'C' : '?';
    }
    shown.push_back(std::string(1, alignment) + "|" + std::string(text));
  }
  return shown;
}

// A run with what the document knows of it.
struct ShownRun {
  const TextRun* run;
  uint32_t index;  // document-wide
  int32_t line;
  std::string text;
  ColorPair colors;
  std::string target;
};

// Every run of the document in order, across lines.
inline std::vector<ShownRun> allRuns(const Document& doc) {
  std::vector<ShownRun> runs;
  for (std::size_t k = 0; k < doc.lines.size(); ++k) {
    const RenderedLine line = doc.lines[k];
    for (auto it = line.runs.begin(); it != line.runs.end(); ++it) {
      runs.push_back({&*it, it.index(), static_cast<int32_t>(k), std::string(line.textOf(*it)),
                      doc.colorsOf(*it), std::string(doc.targetOf(*it))});
    }
  }
  return runs;
}

// The piece of runs[at]'s chain just before it (or after it, with next),
// found among the runs of the same first piece; -1 when its flags say it has
// none, -2 when they say it has one that is not there.
inline int neighbourPiece(const std::vector<ShownRun>& runs, std::size_t at, bool next) {
  const TextRun& run = *runs[at].run;
  if (!(next ? run.hasNextPiece() : run.hasPreviousPiece())) return -1;
  for (std::size_t i = at; next ? ++i < runs.size() : i-- > 0;) {
    if (runs[i].run->firstPiece == run.firstPiece) return static_cast<int>(i);
  }
  return -2;
}

// Styles of runs as the layout makes them.
inline RunStyle textRun(const Document& doc) {
  return {RunKind::Text, packColors(doc.normalColors), 0};
}
inline RunStyle linkRun(Document& doc, std::string_view target) {
  return {RunKind::Link, packColors(doc.linkColors, doc.activeLinkColors), doc.targets.add(target)};
}

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    settings = builtInSettings();
    reset(80);
  }

  // A fresh Document with a Layout at its top, for a console of width cells.
  void reset(int32_t width) {
    layout.reset();
    doc = std::make_unique<Document>();
    layout = std::make_unique<Layout>(*doc, *settings, width);
    width_ = width;
  }

  // Lays tree out and ends the page.
  std::vector<std::string> layOut(const std::unique_ptr<Tree>& tree) {
    layout->layOutChildren(*tree);
    layout->finish();
    return shownLines(*doc, width_);
  }

  // The lines once the page is ended.
  std::vector<std::string> finishedLines() {
    layout->finish();
    return lineTexts(*doc);
  }

  ScratchFolder scratch;
  ScopedEnvironment registry{"ORBISLINE_REGISTRY", scratch.path().c_str()};
  ScopedEnvironment tmpdir{"TMPDIR", scratch.path().c_str()};
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Document> doc;
  std::unique_ptr<Layout> layout;
  int32_t width_ = 80;
};

}  // namespace orbis::testing
