// The load's progress box and time-out question as the host's message boxes:
// the box "Orbisline" with the bar and no button (drawn at once), first with
// flags 0 and then over its own background; the question a warning with
// "Resume" and "Terminate"; the screen under them saved whole.
#include "host/far_load_host.h"

#include "host/plugin_state.h"
#include "render/load_host.h"

namespace orbis::host {

namespace {

class FarLoadHost final : public LoadHost {
public:
  void saveScreen() override {
    const PluginStartupInfo& startup = pluginState().startup;
    if (startup.SaveScreen != nullptr) screen_ = startup.SaveScreen(0, 0, -1, -1);
  }

  void restoreScreen() override {
    const PluginStartupInfo& startup = pluginState().startup;
    if (startup.RestoreScreen != nullptr) startup.RestoreScreen(screen_);
    screen_ = nullptr;
  }

  void showProgress(const char* bar, bool keepBackground) override {
    const PluginStartupInfo& startup = pluginState().startup;
    if (startup.Message == nullptr) return;
    const char* const items[] = {MenuTitle, bar};
    startup.Message(startup.ModuleNumber, keepBackground ? FMSG_KEEPBACKGROUND : 0, nullptr, items,
                    2, 0);
  }

  bool askResume() override {
    const PluginStartupInfo& startup = pluginState().startup;
    if (startup.Message == nullptr) return true;
    static const char* const items[] = {"Warning", "Oops! Time Out ... please report about",
                                        "Resume", "Terminate"};
    return startup.Message(startup.ModuleNumber, FMSG_WARNING, nullptr, items, 4, 2) == 0;
  }

private:
  void* screen_ = nullptr;
};

FarLoadHost farLoadHost;

}  // namespace

void installLoadHost() { setLoadHost(&farLoadHost); }

void removeLoadHost() { setLoadHost(nullptr); }

}  // namespace orbis::host
