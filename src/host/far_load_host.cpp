#include "host/far_load_host.h"

#include "host/plugin_state.h"

namespace orbis::host {

void FarLoadHost::saveScreen() {
  if (startup_.SaveScreen != nullptr) screen_ = startup_.SaveScreen(0, 0, -1, -1);
}

void FarLoadHost::restoreScreen() {
  if (startup_.RestoreScreen != nullptr) startup_.RestoreScreen(screen_);
  screen_ = nullptr;
}

void FarLoadHost::showProgress(const char* bar, bool keepBackground) {
  if (startup_.Message == nullptr) return;
  const char* const items[] = {MenuTitle, bar};
  startup_.Message(startup_.ModuleNumber, keepBackground ? FMSG_KEEPBACKGROUND : 0, nullptr, items,
                   2, 0);
}

bool FarLoadHost::askResume() {
  if (startup_.Message == nullptr) return true;
  static const char* const items[] = {"Warning", "Oops! Time Out ... please report about", "Resume",
                                      "Terminate"};
  return startup_.Message(startup_.ModuleNumber, FMSG_WARNING, nullptr, items, 4, 2) == 0;
}

}  // namespace orbis::host
