// The default token handler: links each token into the target's top level,
// and lets an end tag claim the nearest childless top-level element of its
// name, taking every node after it as children. Nodes are moved, never
// copied.
//
// The claim is found through openByName_ rather than by walking the top
// level backwards, which would make unclosed markup quadratic. An index
// entry stays valid while its element is still at the top level (it sits at
// its slot of topLevelElements_) and still childless; entries are dropped
// lazily when they surface at the top of their stack, so every element is
// pushed and popped at most once.
#include "markup/markup_parser.h"

namespace orbis {

namespace {

void foldInto(std::string& out, std::string_view name) {
  out.assign(name);
  for (char& c : out) {
    c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  }
}

bool isEndTag(const ElementNode& element) {
  return !element.name.empty() && element.name.str()[0] == '/';
}

}  // namespace

void MarkupParser::onToken(std::unique_ptr<Node> token) { buildTree(std::move(token)); }

void MarkupParser::beginTree(Node* target) {
  target_ = target;
  // Fresh containers rather than clear(): a huge parse gives its memory back.
  openByName_ = {};
  topLevelElements_ = {};
  if (target_ == nullptr) {
    return;
  }
  // A target that already has children is searched like the rest.
  for (Node* child : target_->children()) {
    if (ElementNode* element = asElement(child)) {
      indexTopLevel(element);
    }
  }
}

void MarkupParser::indexTopLevel(ElementNode* element) {
  std::size_t slot = topLevelElements_.size();
  topLevelElements_.push_back(element);
  if (!element->hasChildren()) {
    foldInto(foldedName_, element->name.view());
    openByName_[foldedName_].push_back(OpenElement{element, slot});
  }
}

bool MarkupParser::isOpen(const OpenElement& entry) const {
  return entry.slot < topLevelElements_.size() && topLevelElements_[entry.slot] == entry.element &&
         !entry.element->hasChildren();
}

void MarkupParser::buildTree(std::unique_ptr<Node> token) {
  if (token == nullptr || target_ == nullptr) {
    return;
  }
  if (ElementNode* element = asElement(token.get())) {
    if (isEndTag(*element)) {
      closeElement(*element);
    } else if (!element->name.empty()) {
      target_->appendChild(std::move(token));
      indexTopLevel(element);
    }
    return;
  }
  if (const TextNode* text = asText(token.get()); text != nullptr && !text->text.empty()) {
    target_->appendChild(std::move(token));
  }
  // Anything else (empty text, a bare node) is dropped with the token.
}

void MarkupParser::closeElement(const ElementNode& endTag) {
  foldInto(foldedName_, endTag.name.view().substr(1));
  auto found = openByName_.find(foldedName_);
  if (found == openByName_.end()) {
    return;
  }
  std::vector<OpenElement>& stack = found->second;
  while (!stack.empty() && !isOpen(stack.back())) {
    stack.pop_back();
  }
  if (stack.empty()) {
    openByName_.erase(found);
    return;
  }
  OpenElement claimed = stack.back();
  if (claimed.element->nextSibling() == nullptr) {
    return;  // nothing to take: it stays childless and can be claimed again
  }
  target_->moveFollowingInto(claimed.element);
  topLevelElements_.resize(claimed.slot + 1);
  stack.pop_back();
}

}  // namespace orbis
