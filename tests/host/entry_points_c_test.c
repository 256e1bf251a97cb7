/* The plug-in's entry points called from C, as a host written in C calls
 * them: the interface header compiles as C, GetPluginInfo describes the
 * plug-in, and a host that carries no version gets the version notice from
 * OpenPlugin and no editor. */
#include <stdio.h>
#include <string.h>

#include "host/far_api.h"

static int failures = 0;
static int messages = 0;
static int editors = 0;
static char lastMessage[256];

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

static int message(intptr_t pluginNumber, unsigned int flags, const char* helpTopic,
                   const char* const* items, int itemsNumber, int buttonsNumber) {
  (void)helpTopic;
  ++messages;
  CHECK(pluginNumber == 42);
  CHECK(flags == FMSG_WARNING);
  CHECK(itemsNumber == 3);
  CHECK(buttonsNumber == 1);
  if (itemsNumber == 3) {
    CHECK(strcmp(items[0], "Orbisline") == 0);
    CHECK(strcmp(items[2], "Ok") == 0);
    snprintf(lastMessage, sizeof lastMessage, "%s", items[1]);
  }
  return 0;
}

static int editor(const char* fileName, const char* title, int x1, int y1, int x2, int y2,
                  unsigned int flags, int startLine, int startChar) {
  (void)fileName, (void)title, (void)x1, (void)y1, (void)x2, (void)y2;
  (void)flags, (void)startLine, (void)startChar;
  ++editors;
  return 0;
}

int main(void) {
  struct PluginStartupInfo startup;
  struct PluginInfo info;
  void* handle;

  memset(&startup, 0, sizeof startup);
  startup.StructSize = (int)sizeof startup;
  strcpy(startup.ModuleName, "/nowhere/Orbisline.so");
  startup.ModuleNumber = 42;
  startup.Message = message;
  startup.Editor = editor;
  SetStartupInfo(&startup);

  memset(&info, 0, sizeof info);
  GetPluginInfo(&info);
  CHECK(info.StructSize == (int)sizeof info);
  CHECK(info.Flags == (PF_DISABLEPANELS | PF_EDITOR));
  CHECK(info.DiskMenuStrings == NULL && info.DiskMenuStringsNumber == 0);
  CHECK(info.PluginMenuStringsNumber == 1);
  CHECK(info.PluginMenuStrings != NULL && strcmp(info.PluginMenuStrings[0], "Orbisline") == 0);
  CHECK(info.CommandPrefix != NULL && strcmp(info.CommandPrefix, "ob") == 0);

  handle = OpenPlugin(OPEN_COMMANDLINE, (intptr_t) "page.html");
  CHECK(handle == INVALID_HANDLE_VALUE);
  CHECK(messages == 1);
  CHECK(strcmp(lastMessage, "Sorry, but Orbisline required Far 1.63 or above!") == 0);
  CHECK(editors == 0);

  /* Null records are ignored rather than crashing the host. */
  SetStartupInfo(NULL);
  GetPluginInfo(NULL);
  CHECK(ProcessEditorInput(NULL) == 0);
  CHECK(ProcessEditorEvent(EE_REDRAW, EEREDRAW_ALL) == 0);
  ExitFAR();

  if (failures == 0) printf("entry points from C: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
