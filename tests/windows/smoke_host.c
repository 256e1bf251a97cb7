/* A minimal host for the plug-in DLL, run under wine: it loads the DLL,
 * finds the six entry points by their plain names, hands it the host
 * functions, and opens a page as the command line would. Inside the
 * editor it asks for one redraw, then writes what the plug-in produced:
 * the rendered text (a copy of the temporary file) and a trace of the
 * editor, its colours and the console title, in the headless host's format,
 * so that a script can compare both with the Linux build.
 *
 * Usage: smoke_host DLL PAGE TEXT-OUT TRACE-OUT COLUMNS ROWS
 * The console must be COLUMNS by ROWS; the host's registry gets the palette
 * in palette.bin beside TRACE-OUT when that file exists. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/far_api.h"

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

struct EntryPoints {
  FarSetStartupInfoFunction setStartupInfo;
  FarGetPluginInfoFunction getPluginInfo;
  FarOpenPluginFunction openPlugin;
  FarExitFunction exitFar;
  FarProcessEditorInputFunction processEditorInput;
  FarProcessEditorEventFunction processEditorEvent;
};

static int failures = 0;
static struct EntryPoints plugin;
static FILE* trace;
static const char* textOut;
static int columns, rows;
static int messages, editors, colors;
static char firstBar[64], lastBar[64];
static char editorFile[MAX_PATH];
static int totalLines;
static struct EditorSetPosition position;

static void writeQuoted(const char* text) {
  fputc('"', trace);
  for (; *text != '\0'; ++text) {
    unsigned char byte = (unsigned char)*text;
    if (byte == '"' || byte == '\\')
      fprintf(trace, "\\%c", byte);
    else if (byte == '\n')
      fputs("\\n", trace);
    else if (byte == '\r')
      fputs("\\r", trace);
    else if (byte == '\t')
      fputs("\\t", trace);
    else if (byte < 0x20 || byte >= 0x7F)
      fprintf(trace, "\\x%02X", byte);
    else
      fputc(byte, trace);
  }
  fputc('"', trace);
}

static int WINAPI message(intptr_t number, unsigned int flags, const char* help,
                          const char* const* items, int count, int buttons) {
  (void)number, (void)flags, (void)help, (void)buttons;
  ++messages;
  if (count == 2 && strcmp(items[0], "Orbisline") == 0) {
    snprintf(messages == 1 ? firstBar : lastBar, sizeof firstBar, "%s", items[1]);
  }
  return 0; /* the time-out question: resume */
}

static int WINAPI menu(intptr_t number, int x, int y, int maxHeight, unsigned int flags,
                       const char* title, const char* bottom, const char* help,
                       const int* breakKeys, int* breakCode, const struct FarMenuItem* items,
                       int count) {
  (void)number, (void)x, (void)y, (void)maxHeight, (void)flags, (void)title, (void)bottom;
  (void)help, (void)breakKeys, (void)items, (void)count;
  if (breakCode != NULL) *breakCode = -1;
  return -1;
}

static void* WINAPI saveScreen(int x1, int y1, int x2, int y2) {
  (void)x1, (void)y1, (void)x2, (void)y2;
  return &messages;
}

static void WINAPI restoreScreen(void* screen) { CHECK(screen == &messages); }

static int WINAPI charTable(int command, char* buffer, int size) {
  (void)command, (void)buffer, (void)size;
  return -1; /* no table: titles reach the editor as they are */
}

static int WINAPI editorControl(int command, void* parameter) {
  if (command == ECTL_GETINFO) {
    struct EditorInfo* info = (struct EditorInfo*)parameter;
    memset(info, 0, sizeof *info);
    info->EditorID = 1;
    info->FileName = editorFile;
    info->WindowSizeX = columns;
    info->WindowSizeY = rows - 2; /* a status line above, a key bar below */
    info->TotalLines = totalLines;
    info->CurLine = position.CurLine;
    info->CurPos = info->CurTabPos = position.CurPos;
    info->TopScreenLine = position.TopScreenLine;
    info->TableNum = -1;
    info->TabSize = 8;
  } else if (command == ECTL_SETPOSITION) {
    const struct EditorSetPosition* to = (const struct EditorSetPosition*)parameter;
    if (to->CurLine != -1) position.CurLine = to->CurLine;
    if (to->CurPos != -1) position.CurPos = to->CurPos;
    if (to->TopScreenLine != -1) position.TopScreenLine = to->TopScreenLine;
  } else if (command == ECTL_ADDCOLOR) {
    const struct EditorColor* color = (const struct EditorColor*)parameter;
    ++colors;
    fprintf(trace, "ADDCOLOR %d %d %d %02X\n", color->StringNumber, color->StartPos, color->EndPos,
            color->Color & 0xFF);
  }
  return 1;
}

/* Copies the rendered text out and counts its lines as the editor would. */
static int copyText(const char* fileName) {
  FILE* in = fopen(fileName, "rb");
  FILE* out = fopen(textOut, "wb");
  int c;
  totalLines = 1;
  if (in == NULL || out == NULL) {
    if (in != NULL) fclose(in);
    if (out != NULL) fclose(out);
    return 0;
  }
  while ((c = fgetc(in)) != EOF) {
    if (c == '\n') ++totalLines;
    fputc(c, out);
  }
  fclose(in);
  return fclose(out) == 0;
}

static int WINAPI editor(const char* fileName, const char* title, int x1, int y1, int x2, int y2,
                         unsigned int flags, int startLine, int startChar) {
  char consoleTitle[1024] = "";
  const char* name = strrchr(fileName, '\\');
  ++editors;
  CHECK(x1 == 0 && y1 == 0 && x2 == -1 && y2 == -1 && flags == 0 && startChar == 0);
  CHECK(name != NULL && strncmp(name + 1, "~ob", 3) == 0);
  snprintf(editorFile, sizeof editorFile, "%s", fileName);
  CHECK(copyText(fileName));
  fputs("EDITOR ", trace);
  writeQuoted(title);
  fprintf(trace, " %d\n", startLine);
  CHECK(plugin.processEditorEvent(EE_REDRAW, EEREDRAW_ALL) == 0);
  GetConsoleTitleA(consoleTitle, sizeof consoleTitle);
  fputs("TITLE ", trace);
  writeQuoted(consoleTitle);
  fputc('\n', trace);
  return 1;
}

/* The console is the terminal that wine runs in, which the test sizes:
 * the plug-in lays pages out at the width the console reports. */
static void checkConsole(void) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  CHECK(GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info));
  CHECK(info.dwMaximumWindowSize.X == columns && info.dwMaximumWindowSize.Y == rows);
}

/* The palette in the host's registry key, when the test supplies one. */
static void setUpPalette(const char* traceOut) {
  char path[MAX_PATH];
  unsigned char palette[76];
  const char* slash = strrchr(traceOut, '\\');
  size_t directory = slash != NULL ? (size_t)(slash - traceOut + 1) : 0;
  FILE* file;
  HKEY key;
  snprintf(path, sizeof path, "%.*spalette.bin", (int)directory, traceOut);
  file = fopen(path, "rb");
  if (file == NULL) return;
  CHECK(fread(palette, 1, sizeof palette, file) == sizeof palette);
  fclose(file);
  CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Far\\Colors", 0, NULL, 0, KEY_WRITE, NULL,
                        &key, NULL) == ERROR_SUCCESS);
  CHECK(RegSetValueExA(key, "CurrentPalette", 0, REG_BINARY, palette, sizeof palette) ==
        ERROR_SUCCESS);
  RegCloseKey(key);
}

/* Through the one function type that any function pointer converts to. */
#define ENTRY_POINT(type, name) ((type)(void (*)(void))GetProcAddress(module, name))

static int findEntryPoints(HMODULE module) {
  plugin.setStartupInfo = ENTRY_POINT(FarSetStartupInfoFunction, "SetStartupInfo");
  plugin.getPluginInfo = ENTRY_POINT(FarGetPluginInfoFunction, "GetPluginInfo");
  plugin.openPlugin = ENTRY_POINT(FarOpenPluginFunction, "OpenPlugin");
  plugin.exitFar = ENTRY_POINT(FarExitFunction, "ExitFAR");
  plugin.processEditorInput = ENTRY_POINT(FarProcessEditorInputFunction, "ProcessEditorInput");
  plugin.processEditorEvent = ENTRY_POINT(FarProcessEditorEventFunction, "ProcessEditorEvent");
  return plugin.setStartupInfo && plugin.getPluginInfo && plugin.openPlugin && plugin.exitFar &&
         plugin.processEditorInput && plugin.processEditorEvent;
}

static void runPlugin(HMODULE module, const char* page) {
  struct PluginStartupInfo startup;
  struct PluginInfo info;
  memset(&startup, 0, sizeof startup);
  startup.StructSize = (int)sizeof startup;
  CHECK(GetModuleFileNameA(module, startup.ModuleName, sizeof startup.ModuleName) > 0);
  startup.ModuleNumber = 7;
  startup.Menu = menu;
  startup.Message = message;
  startup.SaveScreen = saveScreen;
  startup.RestoreScreen = restoreScreen;
  startup.Editor = editor;
  startup.CharTable = charTable;
  startup.EditorControl = editorControl;
  plugin.setStartupInfo(&startup);

  memset(&info, 0, sizeof info);
  plugin.getPluginInfo(&info);
  CHECK(info.Flags == (PF_DISABLEPANELS | PF_EDITOR));
  CHECK(info.CommandPrefix != NULL && strcmp(info.CommandPrefix, "ob") == 0);

  CHECK(plugin.openPlugin(OPEN_COMMANDLINE, (intptr_t)page) == INVALID_HANDLE_VALUE);
  CHECK(editors == 1);
  CHECK(colors > 0);
  /* The progress box went from empty to full; the document's file is gone. */
  CHECK(messages >= 2 && (unsigned char)firstBar[0] == 0xB1 && (unsigned char)lastBar[49] == 0xDB);
  CHECK(GetFileAttributesA(editorFile) == INVALID_FILE_ATTRIBUTES);
  plugin.exitFar();
}

int main(int argc, char** argv) {
  HMODULE module;
  if (argc != 7) {
    fprintf(stderr, "usage: smoke_host DLL PAGE TEXT-OUT TRACE-OUT COLUMNS ROWS\n");
    return 2;
  }
  textOut = argv[3];
  columns = atoi(argv[5]);
  rows = atoi(argv[6]);
  trace = fopen(argv[4], "wb");
  if (trace == NULL) return 2;
  checkConsole();
  setUpPalette(argv[4]);
  module = LoadLibraryA(argv[1]);
  CHECK(module != NULL);
  if (module != NULL && findEntryPoints(module)) {
    runPlugin(module, argv[2]);
  } else {
    fprintf(stderr, "the six entry points are not all exported under their plain names\n");
    ++failures;
  }
  fclose(trace);
  if (module != NULL) FreeLibrary(module);
  printf("smoke host: %d editor(s), %d colour(s), %d message(s), %d failure(s)\n", editors, colors,
         messages, failures);
  return failures == 0 ? 0 : 1;
}
