// Opening documents: the loop around the host's modal editor, loading the
// document that replaces the one shown, and going back to the previous one.
#pragma once

#include <memory>
#include <string>

#include "render/document.h"

namespace orbis::host {

// A new Document loaded from name with the plug-in's settings, the
// console's size and the host's progress box; null when the load refuses
// or fails, with the reason in result and left as the platform's last
// refusal.
std::unique_ptr<Document> loadDocument(const char* name, LoadResult& result);

// Makes document the pending one and asks the host to close the current
// editor, after which the open loop shows it, at the anchor fragment names
// when it names one.
void replaceCurrentDocument(std::unique_ptr<Document> document, std::string fragment = {});

// When the entry of the page gone back to leaves the history: before its
// page is loaded again, so that it goes even when the load fails
// (Backspace), or only once the load has succeeded (the document menu).
enum class DropEntry { BeforeLoading, AfterLoading };

// The previous page of the history replaces the current one, opened at the
// line it was left at; the page being left is not pushed. Nothing happens
// when the history is empty or the page cannot be loaded again.
void goBack(DropEntry drop);

}  // namespace orbis::host
