// The C boundary of the plug-in: the six functions the host calls. Nothing
// thrown crosses it; an entry point that fails returns what means "nothing
// done" to the host (for editor input: consumed, so the text stays as it
// is).
#include "host/far_api.h"
#include "host/plugin.h"

extern "C" {

void ORBIS_STDCALL SetStartupInfo(const struct PluginStartupInfo* info) {
  if (info == nullptr) return;
  try {
    orbis::host::setStartupInfo(*info);
  } catch (...) {
  }
}

void ORBIS_STDCALL GetPluginInfo(struct PluginInfo* info) {
  if (info == nullptr) return;
  try {
    orbis::host::getPluginInfo(*info);
  } catch (...) {
  }
}

void* ORBIS_STDCALL OpenPlugin(int openFrom, intptr_t item) {
  try {
    orbis::host::openPlugin(openFrom, item);
  } catch (...) {
  }
  return INVALID_HANDLE_VALUE;
}

void ORBIS_STDCALL ExitFAR(void) {
  try {
    orbis::host::exitFar();
  } catch (...) {
  }
}

int ORBIS_STDCALL ProcessEditorInput(const INPUT_RECORD* record) {
  if (record == nullptr) return 0;
  try {
    return orbis::host::processEditorInput(*record);
  } catch (...) {
    return 1;  // an event the viewer failed on must not change the text
  }
}

int ORBIS_STDCALL ProcessEditorEvent(int event, void* parameter) {
  try {
    return orbis::host::processEditorEvent(event, parameter);
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
