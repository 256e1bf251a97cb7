// --dump --color: the rendered text with the colours the plug-in paints.
// The dump is a front end of the host model: the plug-in opens the page in
// an editor, and the front end moves the editor's top line through the text
// a screen at a time, printing each screen's lines with the colours that
// the redraw for that screen sent. What is printed is what the viewer
// shows, and nothing the host does affects the plug-in's saved cursor.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/colors.h"
#include "console_host/front_end.h"
#include "console_host/text_output.h"
#include "terminal_text.h"

namespace orbis::app {

// Appends one editor line as terminal text, without a line feed: each cell
// in the last colour that covers it (cells no colour covers in base), the
// text as style writes it, and blanks where colours go past the text, up to
// width cells at most. An SGR sequence (30-37/90-97 on 40-47/100-107) starts
// each change of colour; a line that set any ends with a reset. colors are
// this line's, in the order sent.
void appendColoredLine(std::string& out, std::string_view text, std::span<const EditorColor> colors,
                       ColorAttr base, int width, DumpStyle style);

class ColorDumpFrontEnd : public console::FrontEnd {
public:
  // out is not owned; base is the editor's own colour; style says how the
  // page's text is written (SGR sequences and line feeds are the only
  // control bytes unless it is Raw).
  ColorDumpFrontEnd(console::OutputBuffer& out, ColorAttr base, DumpStyle style)
      : out_(out), base_(base), style_(style) {}

  console::HostEvent nextEvent(const console::ModelEditor& editor) override;
  int chooseFromMenu(std::span<const std::string_view>) override { return -1; }
  int showMessage(unsigned, std::span<const std::string_view>, int) override { return 0; }
  void editorDrawn(const console::ModelEditor& editor,
                   std::span<const EditorColor> colors) override;

private:
  console::OutputBuffer& out_;
  ColorAttr base_;
  DumpStyle style_;
  int32_t nextTop_ = 0;
  bool finished_ = false;
};

}  // namespace orbis::app
