#include "tree_printer.h"

#include <vector>

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
    appendEscaped(line, element->name.view());
    line += '>';
    out.endLine();
    for (const Attribute* attribute = element->firstAttribute(); attribute != nullptr;
         attribute = attribute->next()) {
      beginLine(line, depth + 1);
      appendEscaped(line, attribute->name());
      line += '=';
      appendQuoted(line, attribute->value());
      out.endLine();
    }
  } else if (const TextNode* text = asText(&node)) {
    beginLine(line, depth);
    appendQuoted(line, text->text);
    out.endLine();
  }
}

}  // namespace

void printTree(const Node& root, OutputBuffer& out) {
  // The open ancestors of the current node; their depth is their place here.
  std::vector<const Node*> ancestors;
  const Node* node = root.firstChild();
  while (node != nullptr) {
    printNode(*node, ancestors.size(), out);
    if (node->hasChildren()) {
      ancestors.push_back(node);
      node = node->firstChild();
      continue;
    }
    while (node->nextSibling() == nullptr && !ancestors.empty()) {
      node = ancestors.back();
      ancestors.pop_back();
    }
    node = node->nextSibling();
  }
}

}  // namespace orbis::app
