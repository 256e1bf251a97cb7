// Handlers of the elements that make runs of their own or change colours.
// Page colours are read as RGB numbers (named colours of the settings
// included) and mapped onto the sixteen console colours; an attribute that
// is absent or unreadable leaves the colour as it is.
#include "render/elements.h"

#include <algorithm>

#include "config/colors.h"
#include "markup/document_parser.h"
#include "markup/number.h"

namespace orbis {

namespace {

bool readConsoleColor(const Layout& layout, const ElementNode& element, const char* name,
                      int32_t& out) {
  uint32_t rgb = 0;
  if (!getColorAttribute(element, name, &layout.settings.namedValues, rgb)) {
    return false;
  }
  out = rgbToConsole(rgb);
  return true;
}

// The percentage of the width a rule spans: "N%" with N from 1 to 99, else
// all of it. A width in cells (no "%") is not honoured.
int32_t rulePercentage(const ElementNode& element) {
  std::string width;
  if (!element.getAttribute("width", width) || width.empty() || width.back() != '%') {
    return 100;
  }
  width.pop_back();
  uint32_t value = 0;
  if (parseNumber(width, false, value) && value >= 1 && value <= 99) {
    return static_cast<int32_t>(value);
  }
  return 100;
}

}  // namespace

bool isLayoutAttribute(std::string_view name) {
  // align is read by text flow (applyAlign), id by element dispatch, the
  // rest by the handlers here. Every attribute of a page is asked about, so
  // the length picks the few names to compare.
  constexpr std::size_t Longest = 7;
  if (name.size() < 2 || name.size() > Longest) return false;
  char bytes[Longest];
  for (std::size_t i = 0; i < name.size(); ++i) {
    bytes[i] = static_cast<char>(foldCase(static_cast<unsigned char>(name[i])));
  }
  std::string_view folded(bytes, name.size());
  switch (name.size()) {
    case 2:
      return folded == "id";
    case 3:
      return folded == "alt";
    case 4:
      return folded == "href" || folded == "link" || folded == "name" || folded == "size" ||
             folded == "text";
    case 5:
      return folded == "align" || folded == "alink" || folded == "color" || folded == "width";
    case 7:
      return folded == "bgcolor";
    default:
      return false;
  }
}

RunStyle textStyle(const Layout& layout) {
  if (layout.inLink) {
    return {RunKind::Link, packColors(layout.doc.linkColors, layout.doc.activeLinkColors),
            layout.currentTarget};
  }
  return layout.normalStyle();
}

void openLink(Layout& layout, const ElementNode& element) {
  std::string href;
  if (element.getAttribute("href", href)) {
    layout.currentTarget = layout.doc.targets.add(href);
    layout.inLink = true;
  } else {
    layout.inLink = false;
  }
  recordAnchor(layout, element, "name");
}

void recordAnchor(Layout& layout, const ElementNode& element, const char* attribute) {
  std::string name;
  if (element.getAttribute(attribute, name)) {
    // An existing key keeps its spelling; only the line moves.
    layout.doc.anchors[LowerString(std::move(name))] = layout.currentLine + 1;
  }
}

void closeLink(Layout& layout) {
  layout.inLink = false;
  layout.currentTarget = 0;
}

void applyPageColors(Layout& layout, const ElementNode& element) {
  int32_t color = 0;
  if (readConsoleColor(layout, element, "bgcolor", color)) {
    layout.doc.normalColors.background = color;
    layout.doc.linkColors.background = color;
    layout.doc.activeLinkColors.background = color;
  }
  if (readConsoleColor(layout, element, "link", color)) {
    layout.doc.linkColors.foreground = color;
  }
  if (readConsoleColor(layout, element, "text", color)) {
    layout.doc.normalColors.foreground = color;
  }
  if (readConsoleColor(layout, element, "alink", color)) {
    layout.doc.activeLinkColors.foreground = color;
  }
  // An active link that looked like any other link could not be told apart
  // under the cursor, so it shows inverted instead.
  if (layout.doc.linkColors.foreground == layout.doc.activeLinkColors.foreground) {
    layout.doc.activeLinkColors = {layout.doc.linkColors.foreground,
                                   layout.doc.linkColors.background};
  }
}

int32_t openFont(Layout& layout, const ElementNode& element) {
  int32_t saved = layout.doc.normalColors.foreground;
  readConsoleColor(layout, element, "color", layout.doc.normalColors.foreground);
  return saved;
}

void closeFont(Layout& layout, int32_t savedForeground) {
  layout.doc.normalColors.foreground = savedForeground;
}

// The title only ever grows at its end, and joining a piece can take off
// only its first character; that character is skipped with an offset
// instead of shifting the whole title each time, which keeps a title of
// many pieces linear. The rule is that of trimJoinSpace with the title
// flag, applied to the whole title after each piece.
void collectTitle(Layout& layout, const ElementNode& element) {
  std::string title;
  size_t start = 0;
  for (const Node* child : element.children()) {
    const TextNode* text = asText(child);
    if (text == nullptr) {
      continue;
    }
    title += text->text();
    if (layout.endsInSpace && start < title.size() && isWhiteSpace(title[start])) {
      ++start;
    }
    if (start < title.size()) {
      layout.endsInSpace = isWhiteSpace(title.back());
    }
  }
  layout.doc.title = title.substr(start);
}

void layOutImage(Layout& layout, const ElementNode& element) {
  std::string text;
  std::string alt;
  if (element.getAttribute("alt", alt)) {
    text = !alt.empty() && alt.front() == '[' ? alt : "[" + alt;
    if (text.back() != ']') {
      text += ']';
    }
    decodeCharacterReferences(text, &layout.settings);
  }
  if (text.size() < 2) {
    text = "[Picture]";
  }
  layout.flowRun(textStyle(layout), text);
}

void layOutRule(Layout& layout, const ElementNode& element) {
  uint32_t size = 0;
  char fill = getNumberAttribute(element, "size", size) && size > 3 ? '=' : '-';
  int32_t percentage = rulePercentage(element);

  Alignment saved = layout.alignment;
  layout.paragraphBreak(false);
  layout.applyAlign(element, Alignment::Center);

  ColorPair colors = layout.doc.normalColors;
  readConsoleColor(layout, element, "color", colors.foreground);
  int64_t cells = std::max<int64_t>(0, int64_t{layout.wrapWidth} * percentage / 100);
  layout.flowRun({RunKind::Text, packColors(colors), 0},
                 std::string(static_cast<size_t>(cells), fill));

  layout.paragraphBreak(false);
  layout.setAlignment(saved);
}

}  // namespace orbis
