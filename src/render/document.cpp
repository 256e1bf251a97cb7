#include "render/document.h"

#include <cassert>
#include <cerrno>

#include "config/settings.h"
#include "platform/temp_file.h"

namespace orbis {

Document::Document() {
  // The file exists for the Document's whole life, so that the editor can
  // always be pointed at it; a failure leaves the path empty and load()
  // then fails when it writes.
  if (!platform::createTempFile("~ob", temporaryPath)) temporaryError = errno;
  assert(settings != nullptr);
  normalColors = {settings->bgcolor, settings->text};
  linkColors = {settings->bgcolor, settings->link};
  activeLinkColors = {settings->bgcolor, settings->alink};
}

Document::~Document() {
  clear();
  if (!temporaryPath.empty()) {
    platform::deleteTempFile(temporaryPath);
  }
}

void Document::clear() {
  treeRoot.reset();
  lines.clear();
}

}  // namespace orbis
