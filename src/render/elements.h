// The element handlers that do more than break lines and set alignment:
// links and anchors, page and text colours, the title, images and rules.
// Element dispatch calls them; they work on the Layout and the Document it
// fills. A handler with an opening and a closing part is split in two, so
// that dispatch can lay out the element's children in between without
// recursing over the depth of the tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "markup/node.h"
#include "render/layout.h"

namespace orbis {

// True for the names of the attributes that layout reads (case folded). The
// viewer's parse stores no others, which keeps a large page's tree small; a
// handler that reads a new attribute must be listed here.
bool isLayoutAttribute(std::string_view name);

// The run of text in the colours in force: a piece of a link to the current
// href while inside a link, otherwise text in the normal colours.
RunStyle textStyle(const Layout& layout);

// The element's attribute (name of an a, the id of any element) as an
// anchor at the current line + 1: the later of two equal names (letter case
// ignored) wins.
void recordAnchor(Layout& layout, const ElementNode& element, const char* attribute);

// a: href starts a link, name records an anchor.
void openLink(Layout& layout, const ElementNode& element);
// Closes any link, children or not.
void closeLink(Layout& layout);

// body: bgcolor, text, link and alink change the document's colours for
// good (they are not restored after the element).
void applyPageColors(Layout& layout, const ElementNode& element);

// font: sets the text colour from color; returns the foreground it replaced,
// for closeFont once the children are laid out.
int32_t openFont(Layout& layout, const ElementNode& element);
void closeFont(Layout& layout, int32_t savedForeground);

// title: the document title becomes the text of the element's own text
// children, joined as text pieces are. Produces no runs.
void collectTitle(Layout& layout, const ElementNode& element);

// img: its alt text in brackets, or "[Picture]".
void layOutImage(Layout& layout, const ElementNode& element);

// hr: a line of "-" (or "=" for size above 3) across the given percentage
// of the width, on a line of its own, centred unless align says otherwise.
void layOutRule(Layout& layout, const ElementNode& element);

}  // namespace orbis
