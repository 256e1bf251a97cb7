// Which editor is a document's own: the first editor that reports an event
// while the document is current becomes it (the open loop opens it just
// before), so that events of other editors are left alone.
#pragma once

#include "render/document.h"

namespace orbis::host {

// Binds the document to editorId when it has no editor yet (and sets the
// console title to the viewer's); true when editorId is the document's own.
bool bindEditor(Document& document, int editorId);

}  // namespace orbis::host
