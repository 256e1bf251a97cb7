// Walks a module's import descriptors: for each DLL it imports from, the
// lookup table names the functions and the address table, in the same
// order, holds where each was found. Only the names tell which slot is
// which; a module linked without its lookup tables cannot be read here.
#include "platform/win32/module_imports.h"

#include <cstring>

namespace orbis::platform {

namespace {

template <typename Record>
Record* at(HMODULE module, DWORD offset) {
  return reinterpret_cast<Record*>(reinterpret_cast<BYTE*>(module) + offset);
}

const IMAGE_DATA_DIRECTORY* importDirectory(HMODULE module) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* headers = at<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  if (headers->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  return &headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
}

// The slot is in read-only memory once the loader has filled it.
bool writeSlot(ULONG_PTR* slot, FARPROC replacement) {
  DWORD previous = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  VirtualProtect(slot, sizeof *slot, previous, &previous);
  return true;
}

// The slots of one DLL's imports whose name is name; -1 on a failed write.
int replaceIn(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& imports, const char* name,
              FARPROC replacement) {
  auto* names = at<IMAGE_THUNK_DATA>(module, imports.OriginalFirstThunk);
  auto* slots = at<IMAGE_THUNK_DATA>(module, imports.FirstThunk);
  int replaced = 0;
  for (; names->u1.AddressOfData != 0; ++names, ++slots) {
    if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
    auto* byName = at<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
    if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
    if (!writeSlot(&slots->u1.Function, replacement)) return -1;
    ++replaced;
  }
  return replaced;
}

}  // namespace

int replaceImportedFunction(HMODULE module, const char* name, FARPROC replacement) {
  const IMAGE_DATA_DIRECTORY* directory = importDirectory(module);
  if (directory == nullptr) return -1;
  if (directory->VirtualAddress == 0) return 0;
  int replaced = 0;
  for (auto* imports = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory->VirtualAddress);
       imports->Name != 0; ++imports) {
    if (imports->OriginalFirstThunk == 0) return -1;
    int here = replaceIn(module, *imports, name, replacement);
    if (here < 0) return -1;
    replaced += here;
  }
  return replaced;
}

}  // namespace orbis::platform
