#include "console_host/trace_writer.h"

#include "console_host/model_editor.h"

namespace orbis::console {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

}  // namespace

void TraceWriter::editorOpened(std::string_view title, int32_t startLine) {
  out_.line() += "EDITOR ";
  appendQuoted(out_.line(), title);
  number(startLine);
  out_.endLine();
}

void TraceWriter::editorClosed() {
  out_.line() += "CLOSE";
  out_.endLine();
}

void TraceWriter::input(std::string_view name, const INPUT_RECORD& record, int result) {
  std::string& line = out_.line();
  if (record.EventType == KEY_EVENT) {
    line += record.Event.KeyEvent.bKeyDown != 0 ? "KEY " : "KEYUP ";
    line += name;
  } else {
    const MOUSE_EVENT_RECORD& mouse = record.Event.MouseEvent;
    line += "MOUSE ";
    line += std::to_string(mouse.dwMousePosition.X) + ',' + std::to_string(mouse.dwMousePosition.Y);
    number(mouse.dwButtonState);
  }
  line += " ->";
  number(result);
  out_.endLine();
}

void TraceWriter::cursor(const ModelEditor& editor) {
  out_.line() += "CURSOR";
  number(editor.cursorLine());
  number(editor.cursorColumn());
  number(editor.topLine());
  out_.endLine();
}

void TraceWriter::editorControl(int command, const void* parameter) {
  std::string& line = out_.line();
  switch (command) {
    case ECTL_ADDCOLOR: {
      const auto& color = *static_cast<const EditorColor*>(parameter);
      line += "ADDCOLOR";
      number(color.StringNumber);
      number(color.StartPos);
      number(color.EndPos);
      line += ' ';
      line += HexDigits[(color.Color >> 4) & 15];
      line += HexDigits[color.Color & 15];
      break;
    }
    case ECTL_SETPOSITION: {
      const auto& position = *static_cast<const EditorSetPosition*>(parameter);
      line += "SETPOSITION";
      number(position.CurLine);
      number(position.CurPos);
      number(position.TopScreenLine);
      break;
    }
    case ECTL_REDRAW:
      line += "REDRAW";
      break;
    case ECTL_QUIT:
      line += "QUIT";
      break;
    default:
      return;
  }
  out_.endLine();
}

void TraceWriter::title(std::string_view text) {
  out_.line() += "TITLE ";
  appendQuoted(out_.line(), text);
  out_.endLine();
}

void TraceWriter::box(std::string_view kind, std::span<const std::string_view> items, int result) {
  std::string& line = out_.line();
  line += kind;
  for (std::string_view item : items) {
    line += ' ';
    appendQuoted(line, item);
  }
  line += " ->";
  number(result);
  out_.endLine();
}

void TraceWriter::number(int64_t value) {
  out_.line() += ' ';
  out_.line() += std::to_string(value);
}

}  // namespace orbis::console
