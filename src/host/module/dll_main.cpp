// The DLL's entry. Loading the module does nothing: all of the plug-in's
// work starts when the host calls an entry point.
#include "host/far_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
