#include "render/console_size.h"

#include "render/text_flow.h"

namespace orbis {

platform::ConsoleSize renderConsoleSize() {
  platform::ConsoleSize size;
  if (!platform::consoleMaxWindowSize(size)) size = {};
  if (size.columns < 1) size.columns = DefaultConsoleColumns;
  if (size.columns < MinWrapWidth) size.columns = MinWrapWidth;
  if (size.rows < 1) size.rows = DefaultConsoleRows;
  return size;
}

}  // namespace orbis
