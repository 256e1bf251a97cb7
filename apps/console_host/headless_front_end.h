// The front end of the headless host: the user is a key script, and the
// screen is a trace (or nothing).
//
// A token's events are played one by one in the editor that asks for them.
// When that editor closes, or another editor opens over it, the events
// still due from the token are dropped: they belonged to an editor that is
// no longer there. A menu, or a message with buttons, takes the next
// unplayed token when it is pick:N and returns N; otherwise a menu returns
// -1 and a message 0. A pick:N that nothing asks for is skipped. Once the
// script has run out, every editor is left as a user leaves it.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "console_host/front_end.h"
#include "console_host/key_script.h"
#include "console_host/trace_writer.h"

namespace orbis::console {

class HeadlessFrontEnd : public FrontEnd {
public:
  // trace may be null: nothing is written. Not owned.
  HeadlessFrontEnd(std::vector<ScriptToken> script, TraceWriter* trace)
      : script_(std::move(script)), trace_(trace) {}

  HostEvent nextEvent(const ModelEditor& editor) override;
  int chooseFromMenu(std::span<const std::string_view> items) override;
  int showMessage(unsigned flags, std::span<const std::string_view> items, int buttons) override;

  void editorOpened(const ModelEditor& editor, std::string_view title, int32_t startLine,
                    EditorOrigin origin) override;
  void editorClosed(const ModelEditor& editor, EditorOrigin origin) override;
  void titleChanged(std::string_view title) override;
  void inputHandled(const HostEvent& event, int result) override;
  void cursorShown(const ModelEditor& editor) override;
  void editorControlled(int command, const void* parameter) override;

private:
  std::optional<int> takePick();

  std::vector<ScriptToken> script_;
  std::size_t next_ = 0;
  std::deque<HostEvent> pending_;
  TraceWriter* trace_;
};

}  // namespace orbis::console
