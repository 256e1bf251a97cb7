// Layout's working state: where the next text goes while one tree is laid
// out into a Document's lines. A Layout lives only during a load (or a
// test); what it leaves behind is the Document's lines, anchors, title and
// colours.
//
// The text-flow primitives (text_flow.cpp) place runs and break lines; the
// walk over the tree (dispatch.cpp) calls the element handlers
// (elements.cpp), which save and restore alignment, indent and flags around
// the children of their element.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "config/settings.h"
#include "markup/node.h"
#include "render/document.h"
#include "render/rendered_text.h"

namespace orbis {

// breakCount before anything was placed or broken.
constexpr int32_t TopOfDocument = 0xFFFFFF;

class Layout {
public:
  // Starts a page at the top of doc, whose colours become the settings'
  // defaults and whose title becomes "No Title". wrapWidth is the console's
  // width in cells.
  Layout(Document& doc, const Settings& settings, int32_t wrapWidth);

  // --- the walk (dispatch.cpp) ---
  // Lays out the children of node; the tree is left as it is.
  void layOutChildren(const Node* node);
  // Lays out one element with its children.
  void layOutElement(const ElementNode* element);
  // Lays out the children of root like layOutChildren, destroying each node
  // as soon as it has been laid out; root is left without children.
  void layOutTree(Node& root);

  // --- text flow (text_flow.cpp) ---
  void newLine();
  void lineBreak(bool soft);
  void paragraphBreak(bool lineOnly);
  void setAlignment(Alignment value);
  void applyAlign(const ElementNode& element, Alignment defaultAlignment);
  void appendRun(std::unique_ptr<TextRun> run);
  void flowRun(std::unique_ptr<TextRun> run);
  void trimJoinSpace(std::string& text, bool titleFlag);

  Document& doc;
  const Settings& settings;
  const int32_t wrapWidth;
  const int32_t tabSize;  // the settings' tab size, held to 1..MaxTabSize

  int32_t currentLine = 0;             // index of the line being filled
  int32_t column = 0;                  // cells placed on the current line
  int32_t skipCount = 0;               // following nodes to leave out
  int32_t indent = 0;                  // blanks in front of each new line's text
  int32_t breakCount = TopOfDocument;  // line breaks since the last character
  bool inLink = false;                 // inside an a element with an href
  bool preformatted = false;           // inside pre
  bool endsInSpace = true;             // the text so far ends in white space or at a block boundary
  Alignment alignment = Alignment::Left;  // for new lines
  SharedText currentHref;                 // of the link being laid out
};

}  // namespace orbis
