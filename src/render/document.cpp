#include "render/document.h"

#include <cerrno>

#include "platform/shared/temp_file.h"

namespace orbis {

Document::Document() {
  // The file exists for the Document's whole life, so that the editor can
  // always be pointed at it; a failure leaves the path empty and load()
  // then fails saying why.
  if (!platform::createTempFile(platform::TempFilePrefix, temporaryPath)) temporaryError_ = errno;
}

Document::~Document() {
  clear();
  if (!temporaryPath.empty()) {
    platform::deleteTempFile(temporaryPath);
  }
}

void Document::clear() {
  lines.clear();
  targets.clear();
  anchors.clear();
}

}  // namespace orbis
