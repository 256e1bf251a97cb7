#include "platform/host_version.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdint>
#include <cstring>

namespace orbis::platform {

namespace {

struct Lookup {
  std::uintptr_t address;
  bool inMainProgram = false;
};

// dl_iterate_phdr reports the main program first: the symbol counts only
// when it lies in one of that image's loaded segments.
int checkMainProgram(dl_phdr_info* info, std::size_t, void* data) {
  auto* lookup = static_cast<Lookup*>(data);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    if (lookup->address >= start && lookup->address - start < segment.p_memsz) {
      lookup->inMainProgram = true;
    }
  }
  return 1;  // the first object only
}

}  // namespace

bool readHostFileVersion(std::string& text) {
  void* program = dlopen(nullptr, RTLD_LAZY);
  if (program == nullptr) return false;
  const void* symbol = dlsym(program, HostVersionSymbol);
  dlclose(program);
  if (symbol == nullptr) return false;
  // The global scope also holds the libraries the program loaded; a symbol
  // of that name in one of them is not the host's version.
  Lookup lookup{reinterpret_cast<std::uintptr_t>(symbol)};
  dl_iterate_phdr(checkMainProgram, &lookup);
  if (!lookup.inMainProgram) return false;
  const char* version = static_cast<const char*>(symbol);
  text.assign(version, strnlen(version, HostVersionCapacity));
  return true;
}

}  // namespace orbis::platform
