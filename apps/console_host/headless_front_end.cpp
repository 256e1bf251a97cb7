#include "console_host/headless_front_end.h"

namespace orbis::console {

HostEvent HeadlessFrontEnd::nextEvent(const ModelEditor&) {
  while (pending_.empty() && next_ < script_.size()) {
    std::vector<HostEvent> events = tokenEvents(script_[next_++]);
    pending_.assign(events.begin(), events.end());
  }
  if (pending_.empty()) return HostEvent{};
  HostEvent event = std::move(pending_.front());
  pending_.pop_front();
  return event;
}

int HeadlessFrontEnd::chooseFromMenu(std::span<const std::string_view> items) {
  int chosen = takePick().value_or(-1);
  if (trace_ != nullptr) trace_->box("MENU", items, chosen);
  return chosen;
}

int HeadlessFrontEnd::showMessage(unsigned, std::span<const std::string_view> items, int buttons) {
  int chosen = buttons > 0 ? takePick().value_or(0) : 0;
  if (trace_ != nullptr) trace_->box("MESSAGE", items, chosen);
  return chosen;
}

void HeadlessFrontEnd::editorOpened(const ModelEditor&, std::string_view title, int32_t startLine,
                                    EditorOrigin origin) {
  pending_.clear();
  if (trace_ != nullptr && origin == EditorOrigin::Plugin) trace_->editorOpened(title, startLine);
}

void HeadlessFrontEnd::editorClosed(const ModelEditor&, EditorOrigin origin) {
  pending_.clear();
  if (trace_ != nullptr && origin == EditorOrigin::Plugin) trace_->editorClosed();
}

void HeadlessFrontEnd::titleChanged(std::string_view title) {
  if (trace_ != nullptr) trace_->title(title);
}

void HeadlessFrontEnd::inputHandled(const HostEvent& event, int result) {
  if (trace_ != nullptr) trace_->input(event.name, event.record, result);
}

void HeadlessFrontEnd::cursorShown(const ModelEditor& editor) {
  if (trace_ != nullptr) trace_->cursor(editor);
}

void HeadlessFrontEnd::editorControlled(int command, const void* parameter) {
  if (trace_ != nullptr) trace_->editorControl(command, parameter);
}

std::optional<int> HeadlessFrontEnd::takePick() {
  if (next_ >= script_.size() || script_[next_].kind != ScriptToken::Kind::Pick) return {};
  return script_[next_++].pick;
}

}  // namespace orbis::console
