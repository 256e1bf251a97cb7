/* The host's plug-in interface as the plug-in relies on it: the records the
 * host passes, the flag, event and command constants, the console input
 * record with its event types, virtual-key codes and control-key state bits,
 * the table of host functions handed over at start-up, and the entry points
 * the plug-in module exports. Written for this project from what plug-in and
 * host need of each other; usable from C and C++.
 *
 * The records keep the host's field names and order. On Windows they take
 * the host's own layout: 2-byte packing, every host function slot of the
 * start-up record in its place, the system's console records, and the
 * __stdcall convention for host functions and entry points (far_api_layout.cpp
 * pins the 32-bit sizes and offsets). Elsewhere they have the natural layout
 * of our own hosts, which nothing else relies on. */
#ifndef ORBIS_HOST_FAR_API_H
#define ORBIS_HOST_FAR_API_H

#ifdef _WIN32
/* The system's headers come first and outside the records' packing; they
 * bring the console records, key codes and handle values used below. */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define ORBIS_STDCALL WINAPI
#else
#define ORBIS_STDCALL
#endif

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define FAR_MAX_PATH 260

/* Message flags. */
#define FMSG_WARNING 1
#define FMSG_KEEPBACKGROUND 4

/* Character tables: CharTable(FCT_DETECT, text, length) names the table that
 * fits a text, or -1; CharTable(table, set, sizeof set) fills a set. */
#define FCT_DETECT 0x40000000

/* Plug-in info flags. */
#define PF_DISABLEPANELS 2
#define PF_EDITOR 4

/* Where OpenPlugin was called from. */
#define OPEN_DISKMENU 0
#define OPEN_PLUGINSMENU 1
#define OPEN_FINDLIST 2
#define OPEN_SHORTCUT 3
#define OPEN_COMMANDLINE 4
#define OPEN_EDITOR 5
#define OPEN_VIEWER 6

/* Editor control commands. */
#define ECTL_GETINFO 6
#define ECTL_SETPOSITION 7
#define ECTL_REDRAW 9
#define ECTL_ADDCOLOR 18
#define ECTL_QUIT 21

/* Editor events, the first argument of ProcessEditorEvent. */
#define EE_READ 0
#define EE_SAVE 1
#define EE_REDRAW 2
#define EE_CLOSE 3

/* The parameter of EE_REDRAW. */
#define EEREDRAW_ALL ((void*)0)
#define EEREDRAW_CHANGE ((void*)1)
#define EEREDRAW_LINE ((void*)2)

#ifdef _WIN32
#pragma pack(push, 2)
#endif

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
  int BlockType;
  int BlockStartLine;
  int AnsiMode;
  int TableNum;
  unsigned long Options;
  int TabSize;
  int BookMarkCount;
  unsigned long CurState;
  unsigned long Reserved[6];
};

/* -1 in a field leaves that part of the editor unchanged. */
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
 * or -1. Editor is modal: it returns when that editor closes, and the editor's
 * events reach the plug-in meanwhile. */
typedef int(ORBIS_STDCALL* FarApiMessage)(intptr_t pluginNumber, unsigned int flags,
                                          const char* helpTopic, const char* const* items,
                                          int itemsNumber, int buttonsNumber);
typedef int(ORBIS_STDCALL* FarApiMenu)(intptr_t pluginNumber, int x, int y, int maxHeight,
                                       unsigned int flags, const char* title, const char* bottom,
                                       const char* helpTopic, const int* breakKeys, int* breakCode,
                                       const struct FarMenuItem* items, int itemsNumber);
typedef void*(ORBIS_STDCALL* FarApiSaveScreen)(int x1, int y1, int x2, int y2);
typedef void(ORBIS_STDCALL* FarApiRestoreScreen)(void* screen);
typedef int(ORBIS_STDCALL* FarApiEditor)(const char* fileName, const char* title, int x1, int y1,
                                         int x2, int y2, unsigned int flags, int startLine,
                                         int startChar);
typedef int(ORBIS_STDCALL* FarApiCharTable)(int command, char* buffer, int bufferSize);
typedef int(ORBIS_STDCALL* FarApiEditorControl)(int command, void* parameter);

/* The host functions that the plug-in never calls keep their slots on
 * Windows, where the host fills every one of them. */
#ifdef _WIN32
typedef void(ORBIS_STDCALL* FarApiUncalled)(void);
#define FAR_UNCALLED_SLOT(name) FarApiUncalled name;
#else
#define FAR_UNCALLED_SLOT(name)
#endif

struct PluginStartupInfo {
  int StructSize;
  char ModuleName[FAR_MAX_PATH];
  intptr_t ModuleNumber;
  const char* RootKey;
  FarApiMenu Menu;
  FAR_UNCALLED_SLOT(Dialog)
  FarApiMessage Message;
  FAR_UNCALLED_SLOT(GetMsg)
  FAR_UNCALLED_SLOT(Control)
  FarApiSaveScreen SaveScreen;
  FarApiRestoreScreen RestoreScreen;
  FAR_UNCALLED_SLOT(GetDirList)
  FAR_UNCALLED_SLOT(GetPluginDirList)
  FAR_UNCALLED_SLOT(FreeDirList)
  FAR_UNCALLED_SLOT(Viewer)
  FarApiEditor Editor;
  FAR_UNCALLED_SLOT(CmpName)
  FarApiCharTable CharTable;
  FAR_UNCALLED_SLOT(Text)
  FarApiEditorControl EditorControl;
};

#undef FAR_UNCALLED_SLOT

#ifdef _WIN32
#pragma pack(pop)
#else

/* Without the system's headers: the console input record, with the
 * console's own event types, key codes and state bits. */
#define KEY_EVENT 0x0001
#define MOUSE_EVENT 0x0002
#define WINDOW_BUFFER_SIZE_EVENT 0x0004
#define MENU_EVENT 0x0008
#define FOCUS_EVENT 0x0010

/* dwControlKeyState */
#define RIGHT_ALT_PRESSED 0x0001
#define LEFT_ALT_PRESSED 0x0002
#define RIGHT_CTRL_PRESSED 0x0004
#define LEFT_CTRL_PRESSED 0x0008
#define SHIFT_PRESSED 0x0010
#define NUMLOCK_ON 0x0020
#define SCROLLLOCK_ON 0x0040
#define CAPSLOCK_ON 0x0080
#define ENHANCED_KEY 0x0100

/* dwButtonState */
#define FROM_LEFT_1ST_BUTTON_PRESSED 0x0001
#define RIGHTMOST_BUTTON_PRESSED 0x0002
#define FROM_LEFT_2ND_BUTTON_PRESSED 0x0004

/* dwEventFlags; 0 is a button pressed or released */
#define MOUSE_MOVED 0x0001
#define DOUBLE_CLICK 0x0002
#define MOUSE_WHEELED 0x0004

/* Virtual-key codes. Letters and digits are their upper-case ASCII codes
 * ('A' to 'Z', '0' to '9'). */
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
/* Punctuation keys of a US keyboard. */
#define VK_OEM_1 0xBA      /* ;: */
#define VK_OEM_PLUS 0xBB   /* =+ */
#define VK_OEM_COMMA 0xBC  /* ,< */
#define VK_OEM_MINUS 0xBD  /* -_ */
#define VK_OEM_PERIOD 0xBE /* .> */
#define VK_OEM_2 0xBF      /* /? */
#define VK_OEM_3 0xC0      /* `~ */
#define VK_OEM_4 0xDB      /* [{ */
#define VK_OEM_5 0xDC      /* \| */
#define VK_OEM_6 0xDD      /* ]} */
#define VK_OEM_7 0xDE      /* '" */

typedef struct COORD {
  int16_t X;
  int16_t Y;
} COORD;

typedef struct KEY_EVENT_RECORD {
  int32_t bKeyDown;
  uint16_t wRepeatCount;
  uint16_t wVirtualKeyCode;
  uint16_t wVirtualScanCode;
  union {
    uint16_t UnicodeChar;
    char AsciiChar;
  } uChar;
  uint32_t dwControlKeyState;
} KEY_EVENT_RECORD;

typedef struct MOUSE_EVENT_RECORD {
  COORD dwMousePosition;
  uint32_t dwButtonState;
  uint32_t dwControlKeyState;
  uint32_t dwEventFlags;
} MOUSE_EVENT_RECORD;

typedef struct INPUT_RECORD {
  uint16_t EventType;
  union {
    KEY_EVENT_RECORD KeyEvent;
    MOUSE_EVENT_RECORD MouseEvent;
  } Event;
} INPUT_RECORD;

#define INVALID_HANDLE_VALUE ((void*)(intptr_t)-1)

#endif /* the system's console records */

/* The entry points of the plug-in module, and the types under which a host
 * looks them up. OpenPlugin's Item is the command-line text (a const char*)
 * for OPEN_COMMANDLINE; the plug-in never opens a panel, so it always returns
 * INVALID_HANDLE_VALUE. ProcessEditorInput returns 1 when the plug-in consumed
 * the event, 0 when the editor is to handle it. ProcessEditorEvent returns 0. */
void ORBIS_STDCALL SetStartupInfo(const struct PluginStartupInfo* info);
void ORBIS_STDCALL GetPluginInfo(struct PluginInfo* info);
void* ORBIS_STDCALL OpenPlugin(int openFrom, intptr_t item);
void ORBIS_STDCALL ExitFAR(void);
int ORBIS_STDCALL ProcessEditorInput(const INPUT_RECORD* record);
int ORBIS_STDCALL ProcessEditorEvent(int event, void* parameter);

typedef void(ORBIS_STDCALL* FarSetStartupInfoFunction)(const struct PluginStartupInfo* info);
typedef void(ORBIS_STDCALL* FarGetPluginInfoFunction)(struct PluginInfo* info);
typedef void*(ORBIS_STDCALL* FarOpenPluginFunction)(int openFrom, intptr_t item);
typedef void(ORBIS_STDCALL* FarExitFunction)(void);
typedef int(ORBIS_STDCALL* FarProcessEditorInputFunction)(const INPUT_RECORD* record);
typedef int(ORBIS_STDCALL* FarProcessEditorEventFunction)(int event, void* parameter);

#ifdef __cplusplus
}
#endif

#endif /* ORBIS_HOST_FAR_API_H */
