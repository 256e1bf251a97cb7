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
#include "platform/scoped_environment.h"
#include "render/document.h"
#include "render/layout.h"

namespace orbis::testing {

using Attributes = std::initializer_list<std::pair<const char*, const char*>>;

inline std::unique_ptr<Node> txt(std::string_view value) {
  return std::make_unique<TextNode>(value);
}

template <typename... Children>
std::unique_ptr<Node> tag(std::string_view name, Attributes attributes, Children&&... children) {
  auto node = std::make_unique<ElementNode>(name);
  for (const auto& [attributeName, value] : attributes) {
    node->addAttribute(attributeName, value);
  }
  (node->appendChild(std::forward<Children>(children)), ...);
  return node;
}

template <typename... Children>
std::unique_ptr<Node> root(Children&&... children) {
  auto node = std::make_unique<Node>();
  (node->appendChild(std::forward<Children>(children)), ...);
  return node;
}

// The text of each line, its runs joined.
inline std::vector<std::string> lineTexts(const Document& doc) {
  std::vector<std::string> texts;
  for (const RenderedLine& line : doc.lines) {
    std::string joined;
    for (const auto& run : line.runs) joined += run->text;
    texts.push_back(joined);
  }
  return texts;
}

// Each line as its alignment (L, R or C), "|" and its text.
inline std::vector<std::string> shownLines(const Document& doc) {
  std::vector<std::string> shown = lineTexts(doc);
  for (size_t i = 0; i < shown.size(); ++i)
    shown[i] = std::string(1, "LRC"[static_cast<int>(doc.lines[i].alignment)]) + "|" + shown[i];
  return shown;
}

// Every run of the document in order, across lines.
inline std::vector<const TextRun*> allRuns(const Document& doc) {
  std::vector<const TextRun*> runs;
  for (const RenderedLine& line : doc.lines) {
    for (const auto& run : line.runs) runs.push_back(run.get());
  }
  return runs;
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
  }

  std::vector<std::string> layOut(const std::unique_ptr<Node>& tree) {
    layout->layOutChildren(tree.get());
    return shownLines(*doc);
  }

  ScratchFolder scratch;
  ScopedEnvironment registry{"ORBISLINE_REGISTRY", scratch.path().c_str()};
  ScopedEnvironment tmpdir{"TMPDIR", scratch.path().c_str()};
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Document> doc;
  std::unique_ptr<Layout> layout;
};

}  // namespace orbis::testing
