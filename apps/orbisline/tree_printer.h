// The --tree format: one node per line, "| " and two blanks per level of
// depth (the root's children are at depth 0), then <NAME> for an element,
// followed by its attributes one level deeper as NAME="VALUE", or "TEXT"
// for a text node. Texts are escaped as appendEscaped does.
#pragma once

#include "console_host/text_output.h"
#include "markup/tree.h"

namespace orbis::app {

using console::OutputBuffer;

// Prints the nodes of tree in document order. Walks the tree without
// recursion, so any depth prints.
void printTree(const Tree& tree, OutputBuffer& out);

}  // namespace orbis::app
