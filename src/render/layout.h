// Layout's working state: where the next text goes while one tree is laid
// out into a Document's lines. A Layout lives only during a load (or a
// test); what it leaves behind is the Document's lines, anchors, title and
// colours.
//
// The text-flow primitives (text_flow.cpp) place runs and break lines; the
// walk over the tree (dispatch.cpp) calls the element handlers
// (elements.cpp), which save and restore alignment, indent and flags around
// the children of their element.
//
// The line being filled is held here and goes to the document when the
// next line starts (or at finish), with the blanks of its alignment in
// front: until then its alignment may still change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "markup/node.h"
#include "markup/tree.h"
#include "render/document.h"
#include "render/rendered_text.h"

namespace orbis {

// breakCount before anything was placed or broken.
constexpr int32_t TopOfDocument = 0xFFFFFF;

class Layout;

// A walk that lays a tree out in slices and gives its memory back as it
// goes (dispatch.cpp). With settledOnly it takes only what the tree's
// builder has settled, so that it can lay out the start of a page on one
// thread while another still builds the rest.
class TreeWalk {
public:
  TreeWalk(Layout& layout, Tree& tree, bool settledOnly);
  ~TreeWalk();
  TreeWalk(const TreeWalk&) = delete;
  TreeWalk& operator=(const TreeWalk&) = delete;

  // Lays out at most records records, as far as there are any now; returns
  // how many it laid out.
  std::size_t layOut(std::size_t records);
  // True once the whole tree is laid out.
  bool ended() const;

private:
  struct State;
  Layout& layout_;
  std::unique_ptr<State> state_;
};

// What text flow needs to know of a run besides its text.
struct RunStyle {
  RunKind kind = RunKind::Text;
  uint16_t colors = 0;  // packColors
  uint32_t target = 0;  // links: the index of the href in the document's targets
};

class Layout {
public:
  // Starts a page at the top of doc, whose colours become the settings'
  // defaults and whose title becomes "No Title". wrapWidth is the console's
  // width in cells: lines wrap there, and right and centre alignment place
  // text against it.
  Layout(Document& doc, const Settings& settings, int32_t wrapWidth);

  // --- the walk (dispatch.cpp) ---
  // Lays out the nodes of tree; the tree is left as it is.
  void layOutChildren(const Tree& tree);
  // Lays out one element with its children.
  void layOutElement(const ElementNode* element);
  // Lays out tree like layOutChildren, giving its memory back as the walk
  // goes; the tree is left empty.
  void layOutTree(Tree& tree);

  // --- text flow (text_flow.cpp) ---
  void newLine();
  void lineBreak(bool soft);
  void paragraphBreak(bool lineOnly);
  void setAlignment(Alignment value);
  void applyAlign(const ElementNode& element, Alignment defaultAlignment);
  void flowRun(const RunStyle& style, std::string_view text);
  void trimJoinSpace(std::string_view& text, bool titleFlag);
  // Hands the line being filled to the document: the end of a page.
  void finish();

  // A run in the normal colours in force.
  RunStyle normalStyle() const { return {RunKind::Text, packColors(doc.normalColors), 0}; }

  // --- the pieces of a split run (text_flow.cpp) ---
  // Appends a run to the line being filled (after the indent when it is
  // the first); returns its place on that line. flags are PieceLinks;
  // firstPiece counts only with PreviousPiece, the first piece's being its
  // own index, known once its line is in the document.
  uint32_t appendRun(const RunStyle& style, std::string_view text, uint8_t flags,
                     uint32_t firstPiece);
  // The document-wide index of the run at place on the line that newLine
  // last handed to the document.
  uint32_t indexOfLastLineRun(uint32_t place) const { return lastLineFirstRun_ + place; }
  // A piece that came after the run at index was dropped: it has none.
  void dropNextPiece(uint32_t index);

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
  uint32_t currentTarget = 0;             // of the link being laid out

private:
  void startLine();
  void commitLine();

  // The line being filled, when there is one: its runs, numbered from
  // column 0 of its text, and its alignment.
  bool hasLine_ = false;
  std::vector<TextRun> lineRuns_;
  std::string lineText_;
  Alignment lineAlignment_ = Alignment::Left;
  // Where the runs of the last line handed over begin in the document,
  // alignment padding included.
  uint32_t lastLineFirstRun_ = 0;
};

}  // namespace orbis
