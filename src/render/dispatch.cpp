// Element dispatch: the walk over the tree in document order.
//
// The walk reads the tree's records in order and keeps its own stack of
// frames, one per element whose children it is in, so a tree a million
// levels deep lays out like a flat one. Each handler has an opening part,
// run when the walk reaches the element, and a closing part, run after its
// children (at the element's Close record); what the opening part saves
// (alignment, indent step, text colour) stays in the element's frame until
// the closing part restores it. An opening part that returns false ends the
// element there: its children are left out, or there are none and nothing
// needs closing. Elements without children still open, so a childless p
// with align=right leaves the right alignment in force for what follows.
// skipCount lives in the Layout and so carries from one node to the next
// across levels.
#include <memory>
#include <vector>

#include "markup/tree.h"
#include "render/elements.h"
#include "render/layout.h"
#include "render/tag_table.h"

namespace orbis {

namespace {

struct Frame;
using OpenFn = bool (*)(Layout&, const ElementNode&, Frame&);
using CloseFn = void (*)(Layout&, Frame&);

struct Handler {
  OpenFn open;
  CloseFn close;  // null: nothing to do after the children
};

struct Frame {
  const Handler* handler;
  bool hasChildren = false;
  Alignment savedAlignment = Alignment::Left;
  int32_t saved = 0;  // the indent step added, or the text colour replaced
};

// The bullet and the definition indent are ordinary runs at the line start.
void flowMarker(Layout& layout, const char* marker) {
  layout.flowRun(layout.normalStyle(), marker);
}
constexpr int32_t BulletLength = 2;  // "* "

bool openTransparent(Layout&, const ElementNode&, Frame&) { return true; }
bool openHidden(Layout&, const ElementNode&, Frame&) { return false; }

bool openTitle(Layout& layout, const ElementNode& element, Frame&) {
  collectTitle(layout, element);
  layout.endsInSpace = true;
  return false;
}

bool openLinkElement(Layout& layout, const ElementNode& element, Frame&) {
  openLink(layout, element);
  return true;
}
void closeLinkElement(Layout& layout, Frame&) { closeLink(layout); }

bool openBody(Layout& layout, const ElementNode& element, Frame&) {
  applyPageColors(layout, element);
  return true;
}

// blockquote, ol, ul: indented, left-aligned, always restored.
bool openIndented(Layout& layout, const ElementNode&, Frame& frame) {
  frame.saved = layout.settings.indent;
  layout.indent += frame.saved;
  layout.lineBreak(true);
  frame.savedAlignment = layout.alignment;
  layout.setAlignment(Alignment::Left);
  layout.endsInSpace = true;
  return true;
}
void closeIndented(Layout& layout, Frame& frame) {
  layout.endsInSpace = true;
  layout.lineBreak(true);
  layout.setAlignment(frame.savedAlignment);
  layout.indent -= frame.saved;
}

bool openCenter(Layout& layout, const ElementNode&, Frame& frame) {
  layout.endsInSpace = true;
  layout.paragraphBreak(true);
  frame.savedAlignment = layout.alignment;
  layout.setAlignment(Alignment::Center);
  if (!frame.hasChildren) {
    layout.endsInSpace = true;
  }
  return frame.hasChildren;
}
void closeCenter(Layout& layout, Frame& frame) {
  layout.paragraphBreak(true);
  layout.setAlignment(frame.savedAlignment);
  layout.endsInSpace = true;
}

// h1 to h6 keep the alignment around them unless align says otherwise; p
// is left-aligned unless it says otherwise.
bool openParagraph(Layout& layout, const ElementNode& element, Frame& frame, bool heading) {
  layout.paragraphBreak(false);
  frame.savedAlignment = layout.alignment;
  layout.applyAlign(element, heading ? frame.savedAlignment : Alignment::Left);
  layout.endsInSpace = true;
  return frame.hasChildren;
}
bool openHeading(Layout& layout, const ElementNode& element, Frame& frame) {
  return openParagraph(layout, element, frame, true);
}
bool openP(Layout& layout, const ElementNode& element, Frame& frame) {
  return openParagraph(layout, element, frame, false);
}
void closeParagraph(Layout& layout, Frame& frame) {
  layout.endsInSpace = true;
  layout.paragraphBreak(false);
  layout.setAlignment(frame.savedAlignment);
}

bool openPre(Layout& layout, const ElementNode&, Frame& frame) {
  layout.paragraphBreak(true);
  frame.savedAlignment = layout.alignment;
  layout.preformatted = true;
  layout.setAlignment(Alignment::Left);
  return frame.hasChildren;
}
void closePre(Layout& layout, Frame& frame) {
  layout.preformatted = false;
  layout.endsInSpace = true;
  layout.paragraphBreak(true);
  layout.setAlignment(frame.savedAlignment);
}

bool openFontElement(Layout& layout, const ElementNode& element, Frame& frame) {
  frame.saved = openFont(layout, element);
  return frame.hasChildren;
}
void closeFontElement(Layout& layout, Frame& frame) { closeFont(layout, frame.saved); }

// An option written without its end tag hides the text that follows it.
bool openOption(Layout& layout, const ElementNode&, Frame& frame) {
  if (!frame.hasChildren) {
    layout.skipCount = 1;
  }
  return false;
}

bool openBr(Layout& layout, const ElementNode&, Frame&) {
  layout.lineBreak(false);
  layout.endsInSpace = true;
  return true;
}

bool openLi(Layout& layout, const ElementNode&, Frame& frame) {
  layout.lineBreak(true);
  flowMarker(layout, "* ");
  if (!frame.hasChildren) {
    return false;
  }
  layout.indent += BulletLength;
  layout.endsInSpace = true;
  return true;
}
void closeLi(Layout& layout, Frame&) {
  layout.indent -= BulletLength;
  layout.endsInSpace = true;
}

bool openDt(Layout& layout, const ElementNode&, Frame&) {
  layout.lineBreak(true);
  layout.endsInSpace = true;
  return true;
}
bool openDd(Layout& layout, const ElementNode&, Frame&) {
  layout.lineBreak(true);
  flowMarker(layout, "  ");
  layout.endsInSpace = true;
  return true;
}
void closeDefinition(Layout& layout, Frame&) { layout.endsInSpace = true; }

bool openRule(Layout& layout, const ElementNode& element, Frame&) {
  layOutRule(layout, element);
  layout.endsInSpace = true;
  return false;
}

bool openImage(Layout& layout, const ElementNode& element, Frame&) {
  layOutImage(layout, element);
  return false;
}

// div and td: a block of their own, left-aligned unless align says otherwise.
bool openDivision(Layout& layout, const ElementNode& element, Frame& frame) {
  layout.lineBreak(true);
  frame.savedAlignment = layout.alignment;
  layout.applyAlign(element, Alignment::Left);
  layout.endsInSpace = true;
  return frame.hasChildren;
}
void closeDivision(Layout& layout, Frame& frame) {
  layout.endsInSpace = true;
  layout.lineBreak(true);
  layout.setAlignment(frame.savedAlignment);
}

bool openTable(Layout& layout, const ElementNode&, Frame& frame) {
  frame.savedAlignment = layout.alignment;
  layout.setAlignment(Alignment::Left);
  return true;
}
void closeTable(Layout& layout, Frame& frame) { layout.setAlignment(frame.savedAlignment); }

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

void layOutText(Layout& layout, std::string_view text) {
  layout.trimJoinSpace(text, false);
  if (!text.empty()) {
    layout.flowRun(textStyle(layout), text);
  }
}

// The parser of a load gives every element its tag id; a tree built
// otherwise has none.
int32_t tagOf(const ElementNode& element) {
  return element.tag() != Unclassified ? element.tag() : lookupTag(element.name());
}

// Opens the element: its frame goes on the stack when its children are to
// be walked; otherwise they are passed over, and a childless element that
// opened closes at once.
void openElement(Layout& layout, const ElementNode& element, std::vector<Frame>& stack,
                 TreeReader& reader) {
  const Handler& handler = handlerFor(tagOf(element));
  // Any element the page shows can be linked to by its id, at the line
  // where layout meets it, before a heading or paragraph breaks the line.
  if (&handler != &Hidden) recordAnchor(layout, element, "id");
  Frame frame{&handler};
  frame.hasChildren = element.hasChildren();
  if (!handler.open(layout, element, frame)) {
    reader.skipChildren(element);
  } else if (frame.hasChildren) {
    stack.push_back(frame);
  } else if (handler.close != nullptr) {
    handler.close(layout, frame);
  }
}

// Lays out records from reader until it has none to give now (or, with a
// budget, until that many are done); returns how many it laid out. The
// frames of the elements whose children it is in stay in stack between
// calls.
std::size_t walk(Layout& layout, TreeReader& reader, std::vector<Frame>& stack,
                 std::size_t budget = static_cast<std::size_t>(-1)) {
  std::size_t done = 0;
  for (; done < budget; ++done) {
    const Node* node = reader.next();
    if (node == nullptr) break;
    if (node->kind() == NodeKind::Close) {
      Frame closed = stack.back();
      stack.pop_back();
      if (closed.handler->close != nullptr) closed.handler->close(layout, closed);
      continue;
    }
    const ElementNode* element = asElement(node);
    if (layout.skipCount > 0) {
      layout.skipCount -= 1;
      if (element != nullptr) reader.skipChildren(*element);
    } else if (element != nullptr) {
      openElement(layout, *element, stack, reader);
    } else if (const TextNode* text = asText(node)) {
      layOutText(layout, text->text());
    }
  }
  return done;
}

}  // namespace

struct TreeWalk::State {
  TreeReader reader;
  std::vector<Frame> stack;
};

TreeWalk::TreeWalk(Layout& layout, Tree& tree, bool settledOnly)
    : layout_(layout), state_(new State{TreeReader(tree, true, settledOnly), {}}) {}

TreeWalk::~TreeWalk() = default;

std::size_t TreeWalk::layOut(std::size_t records) {
  return walk(layout_, state_->reader, state_->stack, records);
}

bool TreeWalk::ended() const { return state_->reader.ended(); }

void Layout::layOutChildren(const Tree& tree) {
  TreeReader reader(tree);
  std::vector<Frame> stack;
  walk(*this, reader, stack);
}

void Layout::layOutTree(Tree& tree) {
  TreeWalk(*this, tree, false).layOut(static_cast<std::size_t>(-1));
  tree.clear();
}

void Layout::layOutElement(const ElementNode* element) {
  if (element == nullptr) {
    return;
  }
  TreeReader reader(*element);
  std::vector<Frame> stack;
  walk(*this, reader, stack);
}

}  // namespace orbis
