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

#include <typeinfo>

namespace orbis {

namespace {

// The largest buffer a reused token keeps: an end tag's name, a text.
constexpr std::size_t SpareCapacity = 64;

bool isEndTag(const ElementNode& element) {
  return !element.name.empty() && element.name.str()[0] == '/';
}

}  // namespace

void MarkupParser::onToken(std::unique_ptr<Node> token) { buildTree(std::move(token)); }

void MarkupParser::beginTree(Node* target) {
  target_ = target;
  // Fresh containers rather than clear(): a huge parse gives its memory back.
  openByName_.reset();
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
    openByName_.stackFor(element->name.view()).push_back(OpenElements::Entry{element, slot});
  }
}

bool MarkupParser::isOpen(const OpenElements::Entry& entry) const {
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
      keepSpare(std::move(token));
    } else if (!element->name.empty()) {
      target_->appendChild(std::move(token));
      indexTopLevel(element);
    } else {
      keepSpare(std::move(token));
    }
    return;
  }
  if (TextNode* text = asText(token.get())) {
    if (!text->text.empty()) {
      target_->appendChild(std::move(token));
    } else if (typeid(*text) == typeid(TextNode) && text->nextSibling() == nullptr) {
      // Tree memory is not reused block by block, so the next text token
      // takes this one over rather than adding another node.
      if (text->text.capacity() > SpareCapacity) std::string().swap(text->text);
      token.release();
      spareText_.reset(text);
    }
  }
  // Anything else (a bare node) is dropped with the token.
}

void MarkupParser::keepSpare(std::unique_ptr<Node> token) {
  // Only a plain element standing in no tree is fit to be a fresh token.
  const Node& node = *token;
  if (typeid(node) != typeid(ElementNode) || node.hasChildren() || node.nextSibling() != nullptr) {
    return;
  }
  auto* element = static_cast<ElementNode*>(token.release());
  std::string& name = element->name.str();
  if (name.capacity() > SpareCapacity) {
    std::string().swap(name);  // a huge name would stay with the next tag
  } else {
    name.clear();
  }
  element->releaseAttributes();
  spareElement_.reset(element);
}

std::unique_ptr<ElementNode> MarkupParser::takeSpareElement() {
  if (spareElement_ != nullptr) {
    return std::move(spareElement_);
  }
  return std::make_unique<ElementNode>();
}

std::unique_ptr<TextNode> MarkupParser::takeSpareText() {
  if (spareText_ != nullptr) {
    return std::move(spareText_);
  }
  return std::make_unique<TextNode>();
}

void MarkupParser::closeElement(const ElementNode& endTag) {
  OpenElements::Stack* stack = openByName_.find(endTag.name.view().substr(1));
  if (stack == nullptr) {
    return;
  }
  while (!stack->empty() && !isOpen(stack->back())) {
    stack->pop_back();
  }
  if (stack->empty()) {
    return;
  }
  OpenElements::Entry claimed = stack->back();
  if (claimed.element->nextSibling() == nullptr) {
    return;  // nothing to take: it stays childless and can be claimed again
  }
  target_->moveFollowingInto(claimed.element);
  topLevelElements_.resize(claimed.slot + 1);
  stack->pop_back();
}

}  // namespace orbis
