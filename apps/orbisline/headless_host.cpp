#include "headless_host.h"

#include <cstdint>

#include "host/far_api.h"

namespace orbis::app {

namespace {

int message(intptr_t, unsigned int, const char*, const char* const*, int, int) { return 0; }

char savedScreen;

void* saveScreen(int, int, int, int) { return &savedScreen; }

void restoreScreen(void*) {}

PluginStartupInfo makeHost() {
  PluginStartupInfo host{};
  host.StructSize = sizeof host;
  host.ModuleNumber = 0;
  host.Message = message;
  host.SaveScreen = saveScreen;
  host.RestoreScreen = restoreScreen;
  return host;
}

}  // namespace

const PluginStartupInfo& headlessHost() {
  static const PluginStartupInfo host = makeHost();
  return host;
}

}  // namespace orbis::app
