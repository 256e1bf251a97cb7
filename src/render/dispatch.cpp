// Element dispatch: the walk over the tree in document order.
//
// The walk keeps its own stack of frames instead of recursing, so a tree a
// million levels deep lays out like a flat one. Each handler has an opening
// part, run when the walk reaches the element, and a closing part, run after
// its children; what the opening part saves (alignment, indent step, text
// colour) stays in the element's frame until the closing part restores it.
// An opening part that returns false ends the element there: its children
// are left out, or there are none and nothing needs closing. Elements
// without children still open, so a childless p with align=right leaves the
// right alignment in force for what follows. skipCount lives in the
// Document and so carries from one node to the next across levels.
#include <memory>
#include <vector>

#include "config/settings.h"
#include "render/document.h"
#include "render/elements.h"
#include "render/tag_table.h"

namespace orbis {

namespace {

struct Frame;
using OpenFn = bool (*)(Document&, const ElementNode&, Frame&);
using CloseFn = void (*)(Document&, Frame&);

struct Handler {
  OpenFn open;
  CloseFn close;  // null: nothing to do after the children
};

struct Frame {
  const Handler* handler;         // null for the node whose children alone are walked
  const Node* nextChild;          // the position, when the tree is kept
  Node* container = nullptr;      // whose children are taken, when the tree is released
  std::unique_ptr<Node> owned{};  // the element itself, released after closing
  bool hasChildren = false;
  Alignment savedAlignment = Alignment::Left;
  int32_t saved = 0;  // the indent step added, or the text colour replaced
};

int32_t indentStep() { return settings->indent; }

// The bullet and the definition indent are ordinary runs at the line start.
void flowMarker(Document& doc, const char* marker) {
  doc.flowRun(std::make_unique<TextRun>(doc.normalColors, marker));
}
constexpr int32_t BulletLength = 2;  // "* "

bool openTransparent(Document&, const ElementNode&, Frame&) { return true; }
bool openHidden(Document&, const ElementNode&, Frame&) { return false; }

bool openTitle(Document& doc, const ElementNode& element, Frame&) {
  collectTitle(doc, element);
  doc.endsInSpace = true;
  return false;
}

bool openLinkElement(Document& doc, const ElementNode& element, Frame&) {
  openLink(doc, element);
  return true;
}
void closeLinkElement(Document& doc, Frame&) { closeLink(doc); }

bool openBody(Document& doc, const ElementNode& element, Frame&) {
  applyPageColors(doc, element);
  return true;
}

// blockquote, ol, ul: indented, left-aligned, always restored.
bool openIndented(Document& doc, const ElementNode&, Frame& frame) {
  frame.saved = indentStep();
  doc.indent += frame.saved;
  doc.lineBreak(true);
  frame.savedAlignment = doc.alignment;
  doc.setAlignment(Alignment::Left);
  doc.endsInSpace = true;
  return true;
}
void closeIndented(Document& doc, Frame& frame) {
  doc.endsInSpace = true;
  doc.lineBreak(true);
  doc.setAlignment(frame.savedAlignment);
  doc.indent -= frame.saved;
}

bool openCenter(Document& doc, const ElementNode&, Frame& frame) {
  doc.endsInSpace = true;
  doc.paragraphBreak(true);
  frame.savedAlignment = doc.alignment;
  doc.setAlignment(Alignment::Center);
  if (!frame.hasChildren) {
    doc.endsInSpace = true;
  }
  return frame.hasChildren;
}
void closeCenter(Document& doc, Frame& frame) {
  doc.paragraphBreak(true);
  doc.setAlignment(frame.savedAlignment);
  doc.endsInSpace = true;
}

// h1 to h6 keep the alignment around them unless align says otherwise; p
// is left-aligned unless it says otherwise.
bool openParagraph(Document& doc, const ElementNode& element, Frame& frame, bool heading) {
  doc.paragraphBreak(false);
  frame.savedAlignment = doc.alignment;
  doc.applyAlign(element, heading ? frame.savedAlignment : Alignment::Left);
  doc.endsInSpace = true;
  return frame.hasChildren;
}
bool openHeading(Document& doc, const ElementNode& element, Frame& frame) {
  return openParagraph(doc, element, frame, true);
}
bool openP(Document& doc, const ElementNode& element, Frame& frame) {
  return openParagraph(doc, element, frame, false);
}
void closeParagraph(Document& doc, Frame& frame) {
  doc.endsInSpace = true;
  doc.paragraphBreak(false);
  doc.setAlignment(frame.savedAlignment);
}

bool openPre(Document& doc, const ElementNode&, Frame& frame) {
  doc.paragraphBreak(true);
  frame.savedAlignment = doc.alignment;
  doc.preformatted = true;
  doc.setAlignment(Alignment::Left);
  return frame.hasChildren;
}
void closePre(Document& doc, Frame& frame) {
  doc.preformatted = false;
  doc.endsInSpace = true;
  doc.paragraphBreak(true);
  doc.setAlignment(frame.savedAlignment);
}

bool openFontElement(Document& doc, const ElementNode& element, Frame& frame) {
  frame.saved = openFont(doc, element);
  return frame.hasChildren;
}
void closeFontElement(Document& doc, Frame& frame) { closeFont(doc, frame.saved); }

// An option written without its end tag hides the text that follows it.
bool openOption(Document& doc, const ElementNode&, Frame& frame) {
  if (!frame.hasChildren) {
    doc.skipCount = 1;
  }
  return false;
}

bool openBr(Document& doc, const ElementNode&, Frame&) {
  doc.lineBreak(false);
  doc.endsInSpace = true;
  return true;
}

bool openLi(Document& doc, const ElementNode&, Frame& frame) {
  doc.lineBreak(true);
  flowMarker(doc, "* ");
  if (!frame.hasChildren) {
    return false;
  }
  doc.indent += BulletLength;
  doc.endsInSpace = true;
  return true;
}
void closeLi(Document& doc, Frame&) {
  doc.indent -= BulletLength;
  doc.endsInSpace = true;
}

bool openDt(Document& doc, const ElementNode&, Frame&) {
  doc.lineBreak(true);
  doc.endsInSpace = true;
  return true;
}
bool openDd(Document& doc, const ElementNode&, Frame&) {
  doc.lineBreak(true);
  flowMarker(doc, "  ");
  doc.endsInSpace = true;
  return true;
}
void closeDefinition(Document& doc, Frame&) { doc.endsInSpace = true; }

bool openRule(Document& doc, const ElementNode& element, Frame&) {
  layOutRule(doc, element);
  doc.endsInSpace = true;
  return false;
}

bool openImage(Document& doc, const ElementNode& element, Frame&) {
  layOutImage(doc, element);
  return false;
}

// div and td: a block of their own, left-aligned unless align says otherwise.
bool openDivision(Document& doc, const ElementNode& element, Frame& frame) {
  doc.lineBreak(true);
  frame.savedAlignment = doc.alignment;
  doc.applyAlign(element, Alignment::Left);
  doc.endsInSpace = true;
  return frame.hasChildren;
}
void closeDivision(Document& doc, Frame& frame) {
  doc.endsInSpace = true;
  doc.lineBreak(true);
  doc.setAlignment(frame.savedAlignment);
}

bool openTable(Document& doc, const ElementNode&, Frame& frame) {
  frame.savedAlignment = doc.alignment;
  doc.setAlignment(Alignment::Left);
  return true;
}
void closeTable(Document& doc, Frame& frame) { doc.setAlignment(frame.savedAlignment); }

constexpr Handler Transparent{openTransparent, nullptr};
constexpr Handler Hidden{openHidden, nullptr};
constexpr Handler TitleHandler{openTitle, nullptr};
constexpr Handler LinkHandler{openLinkElement, closeLinkElement};
constexpr Handler BodyHandler{openBody, nullptr};
constexpr Handler Indented{openIndented, closeIndented};
constexpr Handler CenterHandler{openCenter, closeCenter};
constexpr Handler HeadingHandler{openHeading, closeParagraph};
constexpr Handler PHandler{openP, closeParagraph};
constexpr Handler PreHandler{openPre, closePre};
constexpr Handler FontHandler{openFontElement, closeFontElement};
constexpr Handler OptionHandler{openOption, nullptr};
constexpr Handler BrHandler{openBr, nullptr};
constexpr Handler LiHandler{openLi, closeLi};
constexpr Handler DtHandler{openDt, closeDefinition};
constexpr Handler DdHandler{openDd, closeDefinition};
constexpr Handler RuleHandler{openRule, nullptr};
constexpr Handler ImageHandler{openImage, nullptr};
constexpr Handler DivisionHandler{openDivision, closeDivision};
constexpr Handler TableHandler{openTable, closeTable};

const Handler& handlerFor(int32_t id) {
  switch (id) {
    case TagId::Style:
    case TagId::Script:
    case TagId::Select:
    case TagId::Comment:
      return Hidden;
    case TagId::Title:
      return TitleHandler;
    case TagId::A:
      return LinkHandler;
    case TagId::Body:
      return BodyHandler;
    case TagId::Blockquote:
    case TagId::Ol:
    case TagId::Ul:
      return Indented;
    case TagId::Center:
      return CenterHandler;
    case TagId::Heading:
      return HeadingHandler;
    case TagId::P:
      return PHandler;
    case TagId::Pre:
      return PreHandler;
    case TagId::Font:
      return FontHandler;
    case TagId::Option:
      return OptionHandler;
    case TagId::Br:
      return BrHandler;
    case TagId::Li:
      return LiHandler;
    case TagId::Dt:
      return DtHandler;
    case TagId::Dd:
      return DdHandler;
    case TagId::Hr:
      return RuleHandler;
    case TagId::Img:
      return ImageHandler;
    case TagId::Div:
    case TagId::Td:
      return DivisionHandler;
    case TagId::Table:
      return TableHandler;
    default:
      return Transparent;
  }
}

void layOutText(Document& doc, std::string text) {
  doc.trimJoinSpace(text, false);
  if (!text.empty()) {
    doc.flowRun(makeTextRun(doc, std::move(text)));
  }
}

// Returns whether a frame was pushed for the element's children.
bool openElement(Document& doc, const ElementNode& element, std::vector<Frame>& stack) {
  const Handler& handler = handlerFor(lookupTag(element.name.view()));
  Frame frame{&handler, element.firstChild()};
  frame.hasChildren = element.hasChildren();
  if (!handler.open(doc, element, frame)) {
    return false;
  }
  stack.push_back(std::move(frame));
  return true;
}

// The next child of the innermost frame: taken out of the tree when the
// walk releases it, else only stepped over.
std::unique_ptr<Node> nextChild(Frame& frame, bool release, const Node*& child) {
  if (release) {
    std::unique_ptr<Node> taken = frame.container->releaseFirstChild();
    child = taken.get();
    return taken;
  }
  child = frame.nextChild;
  if (child != nullptr) {
    frame.nextChild = child->nextSibling();
  }
  return nullptr;
}

// With release set, every node is taken out of the tree as the walk reaches
// it and destroyed once laid out, so that the tree shrinks while the lines
// grow and the two never both hold the whole page: the tree's memory goes
// free chunk by chunk and the new runs are cut from it.
void walk(Document& doc, std::vector<Frame>& stack, bool release) {
  while (!stack.empty()) {
    const Node* child = nullptr;
    std::unique_ptr<Node> taken = nextChild(stack.back(), release, child);
    if (child == nullptr) {
      Frame done = std::move(stack.back());
      stack.pop_back();
      if (done.handler != nullptr && done.handler->close != nullptr) {
        done.handler->close(doc, done);
      }
      continue;
    }
    if (doc.skipCount > 0) {
      doc.skipCount -= 1;
    } else if (const TextNode* text = asText(child)) {
      layOutText(doc, release ? std::move(static_cast<TextNode*>(taken.get())->text) : text->text);
    } else if (const ElementNode* element = asElement(child)) {
      if (openElement(doc, *element, stack) && release) {
        stack.back().container = taken.get();
        stack.back().owned = std::move(taken);
      }
    }
  }
}

}  // namespace

void Document::layOutChildren(const Node* node) {
  if (node == nullptr) {
    return;
  }
  std::vector<Frame> stack;
  stack.push_back(Frame{nullptr, node->firstChild()});
  walk(*this, stack, false);
}

void Document::layOutTree() {
  if (treeRoot == nullptr) {
    return;
  }
  std::vector<Frame> stack;
  stack.push_back(Frame{nullptr, nullptr, treeRoot.get()});
  walk(*this, stack, true);
}

void Document::layOutElement(const ElementNode* element) {
  if (element == nullptr) {
    return;
  }
  std::vector<Frame> stack;
  openElement(*this, *element, stack);
  walk(*this, stack, false);
}

}  // namespace orbis
