// The menu that the host's plug-in menu opens inside a shown document's
// editor.
#pragma once

namespace orbis::host {

// "&Back to: " the previous page (when the history holds one) and the
// switch of the document colours. With the one item, the colours switch
// whatever the answer, Escape included.
void showDocumentMenu();

}  // namespace orbis::host
