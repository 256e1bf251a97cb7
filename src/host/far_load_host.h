// What a load shows while it runs (the progress box, the time-out question,
// the saved screen), through the host's Message, SaveScreen and
// RestoreScreen: the box "Orbisline" with the bar and no button (drawn at
// once), first with flags 0 and then over its own background; the question
// a warning with "Resume" and "Terminate"; the screen under them saved
// whole.
#pragma once

#include "host/far_api.h"
#include "render/load_host.h"

namespace orbis::host {

class FarLoadHost final : public LoadHost {
public:
  // startup is the plug-in's copy of the host's table; not owned.
  explicit FarLoadHost(const PluginStartupInfo& startup) : startup_(startup) {}

  void saveScreen() override;
  void restoreScreen() override;
  void showProgress(const char* bar, bool keepBackground) override;
  bool askResume() override;

private:
  const PluginStartupInfo& startup_;
  void* screen_ = nullptr;
};

}  // namespace orbis::host
