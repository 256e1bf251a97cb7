// The default token handler: appends each token to the target's top level,
// and lets an end tag claim the nearest childless top-level element of its
// name, taking every node after it as children. As nodes are only ever
// appended, a claim ends the claimed element where the tree ends now.
//
// The claim is found through openByName_ rather than by walking the top
// level backwards, which would make unclosed markup quadratic. An entry
// stays valid while its element is still at the top level (not buried) and
// still childless; entries are dropped lazily when they surface at the top
// of their stack, so every element is pushed and popped at most once.
#include "markup/markup_parser.h"

namespace orbis {

void MarkupParser::onToken(Token* token) {
  if (token != nullptr) buildTree(*token);
}

void MarkupParser::beginTree(Tree* target) {
  target_ = target;
  // Fresh containers rather than clear(): a huge parse gives its memory back.
  openByName_.reset();
  topLevelElements_.clear();
  firstOpen_ = 0;
  claimed_ = true;  // an existing top level is looked at once
  settled_ = nullptr;
  if (target_ == nullptr) {
    return;
  }
  target_->setComplete(false);
  // A target that already has children is searched like the rest.
  for (const Node* child : target_->children()) {
    if (const ElementNode* element = asElement(child)) {
      // The builder's own tree: its elements are its to mark.
      auto* own = const_cast<ElementNode*>(element);
      indexTopLevel(own, openByName_.intern(own->name(), tagClassifier_));
    }
  }
}

void MarkupParser::endTree() {
  if (target_ != nullptr) target_->setComplete(true);
  beginTree(nullptr);  // keep no reference to the caller's tree
}

// A claim only ever changes the claimed element, which was open, and what
// follows it; whatever lies before the first open top-level element has
// settled.
void MarkupParser::settle() {
  if (claimed_) {
    while (firstOpen_ < topLevelElements_.size() && topLevelElements_[firstOpen_]->hasChildren()) {
      ++firstOpen_;
    }
    claimed_ = false;
  }
  const Node* end = firstOpen_ < topLevelElements_.size() ? topLevelElements_[firstOpen_]
                                                          : target_->writePosition();
  if (end != settled_ && end != nullptr) {
    target_->settle(end);
    settled_ = end;
  }
}

void MarkupParser::indexTopLevel(ElementNode* element, OpenElements::Name& name) {
  topLevelElements_.push_back(element);
  if (!element->hasChildren()) {
    openByName_.push(name, element);
  }
}

bool MarkupParser::isOpen(const ElementNode* element) {
  return (element->flags_ & (Node::Buried | Node::HasChildren)) == 0;
}

void MarkupParser::buildTree(Token& token) {
  if (target_ == nullptr) {
    return;
  }
  if (token.isElement()) {
    if (token.isEndTag()) {
      closeElement(std::string_view(token.text).substr(1));
    } else if (!token.text.empty()) {
      OpenElements::Name& name = openByName_.intern(token.text, tagClassifier_);
      ElementNode* element = target_->appendElement(token.text, name.tag, token.attributes);
      indexTopLevel(element, name);
    }
  } else if (!token.text.empty()) {
    target_->appendText(token.text);
  }
  settle();
}

void MarkupParser::closeElement(std::string_view name) {
  OpenElements::Name* entry = openByName_.find(name);
  if (entry == nullptr) {
    return;
  }
  while (entry->top != 0 && !isOpen(openByName_.top(*entry))) {
    openByName_.pop(*entry);
  }
  if (entry->top == 0) {
    return;
  }
  ElementNode* claimed = openByName_.top(*entry);
  if (target_->endsWith(claimed)) {
    return;  // nothing to take: it stays childless and can be claimed again
  }
  target_->close(claimed);
  // Whatever followed it at the top level now lies inside it.
  while (topLevelElements_.back() != claimed) {
    topLevelElements_.back()->flags_ |= Node::Buried;
    topLevelElements_.pop_back();
  }
  if (firstOpen_ > topLevelElements_.size()) firstOpen_ = topLevelElements_.size();
  claimed_ = true;
  openByName_.pop(*entry);
}

}  // namespace orbis
