// The records of the host's 32-bit interface, pinned at compile time: every
// size and every offset that plug-in and host exchange, as the host lays
// them out. Built into the 32-bit DLL only; a 64-bit build has wider
// pointers and lays the same records out differently.
#include <cstddef>

#include "host/far_api.h"

#if defined(_WIN32) && !defined(_WIN64)

#define ORBIS_AT(record, field, offset) \
  static_assert(offsetof(record, field) == (offset), #record "." #field " is not at " #offset)

static_assert(sizeof(void*) == 4 && sizeof(intptr_t) == 4 && sizeof(unsigned long) == 4);

static_assert(sizeof(PluginStartupInfo) == 336);
ORBIS_AT(PluginStartupInfo, StructSize, 0);
ORBIS_AT(PluginStartupInfo, ModuleName, 4);
ORBIS_AT(PluginStartupInfo, ModuleNumber, 264);
ORBIS_AT(PluginStartupInfo, RootKey, 268);
ORBIS_AT(PluginStartupInfo, Menu, 272);
ORBIS_AT(PluginStartupInfo, Dialog, 276);
ORBIS_AT(PluginStartupInfo, Message, 280);
ORBIS_AT(PluginStartupInfo, GetMsg, 284);
ORBIS_AT(PluginStartupInfo, Control, 288);
ORBIS_AT(PluginStartupInfo, SaveScreen, 292);
ORBIS_AT(PluginStartupInfo, RestoreScreen, 296);
ORBIS_AT(PluginStartupInfo, GetDirList, 300);
ORBIS_AT(PluginStartupInfo, GetPluginDirList, 304);
ORBIS_AT(PluginStartupInfo, FreeDirList, 308);
ORBIS_AT(PluginStartupInfo, Viewer, 312);
ORBIS_AT(PluginStartupInfo, Editor, 316);
ORBIS_AT(PluginStartupInfo, CmpName, 320);
ORBIS_AT(PluginStartupInfo, CharTable, 324);
ORBIS_AT(PluginStartupInfo, Text, 328);
ORBIS_AT(PluginStartupInfo, EditorControl, 332);

static_assert(sizeof(PluginInfo) == 40);
ORBIS_AT(PluginInfo, StructSize, 0);
ORBIS_AT(PluginInfo, Flags, 4);
ORBIS_AT(PluginInfo, DiskMenuStrings, 8);
ORBIS_AT(PluginInfo, DiskMenuNumbers, 12);
ORBIS_AT(PluginInfo, DiskMenuStringsNumber, 16);
ORBIS_AT(PluginInfo, PluginMenuStrings, 20);
ORBIS_AT(PluginInfo, PluginMenuStringsNumber, 24);
ORBIS_AT(PluginInfo, PluginConfigStrings, 28);
ORBIS_AT(PluginInfo, PluginConfigStringsNumber, 32);
ORBIS_AT(PluginInfo, CommandPrefix, 36);

static_assert(sizeof(EditorInfo) == 100);
ORBIS_AT(EditorInfo, EditorID, 0);
ORBIS_AT(EditorInfo, FileName, 4);
ORBIS_AT(EditorInfo, WindowSizeX, 8);
ORBIS_AT(EditorInfo, WindowSizeY, 12);
ORBIS_AT(EditorInfo, TotalLines, 16);
ORBIS_AT(EditorInfo, CurLine, 20);
ORBIS_AT(EditorInfo, CurPos, 24);
ORBIS_AT(EditorInfo, CurTabPos, 28);
ORBIS_AT(EditorInfo, TopScreenLine, 32);
ORBIS_AT(EditorInfo, LeftPos, 36);
ORBIS_AT(EditorInfo, Overtype, 40);
ORBIS_AT(EditorInfo, BlockType, 44);
ORBIS_AT(EditorInfo, BlockStartLine, 48);
ORBIS_AT(EditorInfo, AnsiMode, 52);
ORBIS_AT(EditorInfo, TableNum, 56);
ORBIS_AT(EditorInfo, Options, 60);
ORBIS_AT(EditorInfo, TabSize, 64);
ORBIS_AT(EditorInfo, BookMarkCount, 68);
ORBIS_AT(EditorInfo, CurState, 72);
ORBIS_AT(EditorInfo, Reserved, 76);

static_assert(sizeof(EditorSetPosition) == 24);
ORBIS_AT(EditorSetPosition, CurLine, 0);
ORBIS_AT(EditorSetPosition, CurPos, 4);
ORBIS_AT(EditorSetPosition, CurTabPos, 8);
ORBIS_AT(EditorSetPosition, TopScreenLine, 12);
ORBIS_AT(EditorSetPosition, LeftPos, 16);
ORBIS_AT(EditorSetPosition, Overtype, 20);

static_assert(sizeof(EditorColor) == 20);
ORBIS_AT(EditorColor, StringNumber, 0);
ORBIS_AT(EditorColor, ColorItem, 4);
ORBIS_AT(EditorColor, StartPos, 8);
ORBIS_AT(EditorColor, EndPos, 12);
ORBIS_AT(EditorColor, Color, 16);

static_assert(sizeof(FarMenuItem) == 140);
ORBIS_AT(FarMenuItem, Text, 0);
ORBIS_AT(FarMenuItem, Selected, 128);
ORBIS_AT(FarMenuItem, Checked, 132);
ORBIS_AT(FarMenuItem, Separator, 136);

static_assert(sizeof(CharTableSet) == 1152);
ORBIS_AT(CharTableSet, DecodeTable, 0);
ORBIS_AT(CharTableSet, EncodeTable, 256);
ORBIS_AT(CharTableSet, UpperTable, 512);
ORBIS_AT(CharTableSet, LowerTable, 768);
ORBIS_AT(CharTableSet, TableName, 1024);

static_assert(sizeof(INPUT_RECORD) == 20);
ORBIS_AT(INPUT_RECORD, EventType, 0);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.bKeyDown, 4);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.wRepeatCount, 8);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.wVirtualKeyCode, 10);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.wVirtualScanCode, 12);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.uChar, 14);
ORBIS_AT(INPUT_RECORD, Event.KeyEvent.dwControlKeyState, 16);
ORBIS_AT(INPUT_RECORD, Event.MouseEvent.dwMousePosition.X, 4);
ORBIS_AT(INPUT_RECORD, Event.MouseEvent.dwMousePosition.Y, 6);
ORBIS_AT(INPUT_RECORD, Event.MouseEvent.dwButtonState, 8);
ORBIS_AT(INPUT_RECORD, Event.MouseEvent.dwControlKeyState, 12);
ORBIS_AT(INPUT_RECORD, Event.MouseEvent.dwEventFlags, 16);

// The constants the plug-in exchanges that come from the system's headers.
static_assert(KEY_EVENT == 1 && MOUSE_EVENT == 2);
static_assert(FROM_LEFT_1ST_BUTTON_PRESSED == 1 && MOUSE_MOVED == 1);

#endif
