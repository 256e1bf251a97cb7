#include "tree_printer.h"

namespace orbis::app {

using console::appendEscaped;
using console::appendQuoted;

namespace {

void beginLine(std::string& line, std::size_t depth) {
  line += "| ";
  line.append(depth * 2, ' ');
}

void printNode(const Node& node, std::size_t depth, OutputBuffer& out) {
  std::string& line = out.line();
  if (const ElementNode* element = asElement(&node)) {
    beginLine(line, depth);
    line += '<';
    appendEscaped(line, element->name());
    line += '>';
    out.endLine();
    for (Attribute attribute : element->attributes()) {
      beginLine(line, depth + 1);
      appendEscaped(line, attribute.name);
      line += '=';
      appendQuoted(line, attribute.value);
      out.endLine();
    }
  } else if (const TextNode* text = asText(&node)) {
    beginLine(line, depth);
    appendQuoted(line, text->text());
    out.endLine();
  }
}

}  // namespace

void printTree(const Tree& tree, OutputBuffer& out) {
  // The records come in document order; an element with children opens a
  // level that its Close record ends.
  std::size_t depth = 0;
  TreeReader reader(tree);
  while (const Node* node = reader.next()) {
    if (node->kind() == NodeKind::Close) {
      --depth;
      continue;
    }
    printNode(*node, depth, out);
    if (node->hasChildren()) ++depth;
  }
}

}  // namespace orbis::app
