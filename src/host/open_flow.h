// Opening documents: the loop around the host's modal editor, and loading
// the document that replaces the one shown.
#pragma once

#include <memory>

#include "render/document.h"

namespace orbis::host {

// A new Document loaded from name, or null when the load refuses or fails.
std::unique_ptr<Document> loadDocument(const char* name);

// Makes document the pending one and asks the host to close the current
// editor, after which the open loop shows it.
void replaceCurrentDocument(std::unique_ptr<Document> document);

// The menu of a shown document: "&Back to: " the previous page when the
// history holds one, and the switch of the document colours.
void showDocumentMenu();

}  // namespace orbis::host
