/* The host's plug-in interface as the plug-in relies on it: the records the
 * host passes, the flag and command constants, and the table of host
 * functions handed over at start-up. Written for this project from what the
 * plug-in needs; usable from C and C++. */
#ifndef ORBIS_HOST_FAR_API_H
#define ORBIS_HOST_FAR_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define FAR_MAX_PATH 260

/* Message flags. */
#define FMSG_WARNING 1
#define FMSG_KEEPBACKGROUND 4

/* Character tables. */
#define FCT_DETECT 0x40000000

/* Plug-in info flags. */
#define PF_DISABLEPANELS 2
#define PF_EDITOR 4

/* Where OpenPlugin was called from. */
#define OPEN_COMMANDLINE 4
#define OPEN_EDITOR 5

/* Editor control commands. */
#define ECTL_GETINFO 6
#define ECTL_SETPOSITION 7
#define ECTL_REDRAW 9
#define ECTL_ADDCOLOR 18
#define ECTL_QUIT 21

#define FAR_INVALID_HANDLE ((void*)(long)-1)

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct CharTableSet {
  unsigned char DecodeTable[256];
  unsigned char EncodeTable[256];
  unsigned char UpperTable[256];
  unsigned char LowerTable[256];
  char TableName[128];
};

struct EditorInfo {
  int EditorID;
  const char* FileName;
  int WindowSizeX;
  int WindowSizeY;
  int TotalLines;
  int CurLine;
  int CurPos;
  int CurTabPos;
  int TopScreenLine;
  int LeftPos;
  int Overtype;
};

struct EditorSetPosition {
  int CurLine;
  int CurPos;
  int CurTabPos;
  int TopScreenLine;
  int LeftPos;
  int Overtype;
};

struct EditorColor {
  int StringNumber;
  int ColorItem;
  int StartPos;
  int EndPos; /* inclusive */
  int Color;  /* background * 16 + foreground */
};

struct PluginInfo {
  int StructSize;
  unsigned long Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
};

/* Host functions. Message returns the chosen button's index (0 for the
 * first), or -1 when the box was closed without a choice; a box without
 * buttons is drawn and returns at once. Menu returns the chosen item's index
 * or -1. Editor is modal. */
typedef int (*FarApiMessage)(int pluginNumber, unsigned int flags, const char* helpTopic,
                             const char* const* items, int itemsNumber, int buttonsNumber);
typedef int (*FarApiMenu)(int pluginNumber, int x, int y, int maxHeight, unsigned int flags,
                          const char* title, const char* bottom, const char* helpTopic,
                          const int* breakKeys, int* breakCode, const struct FarMenuItem* items,
                          int itemsNumber);
typedef void* (*FarApiSaveScreen)(int x1, int y1, int x2, int y2);
typedef void (*FarApiRestoreScreen)(void* screen);
typedef int (*FarApiEditor)(const char* fileName, const char* title, int x1, int y1, int x2,
                            int y2, unsigned int flags, int startLine, int startChar);
typedef int (*FarApiCharTable)(int command, char* buffer, int bufferSize);
typedef int (*FarApiEditorControl)(int command, void* parameter);

struct PluginStartupInfo {
  int StructSize;
  char ModuleName[FAR_MAX_PATH];
  int ModuleNumber;
  const char* RootKey;
  FarApiMenu Menu;
  FarApiMessage Message;
  FarApiSaveScreen SaveScreen;
  FarApiRestoreScreen RestoreScreen;
  FarApiEditor Editor;
  FarApiCharTable CharTable;
  FarApiEditorControl EditorControl;
};

#ifdef __cplusplus
}
#endif

#endif /* ORBIS_HOST_FAR_API_H */
