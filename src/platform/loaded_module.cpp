#include "platform/loaded_module.h"

#include <dlfcn.h>

namespace orbis::platform {

namespace {

std::string loaderError(const char* fallback) {
  const char* reason = dlerror();
  return reason != nullptr ? std::string(reason) : std::string(fallback);
}

}  // namespace

LoadedModule::~LoadedModule() { close(); }

bool LoadedModule::open(const std::string& path) {
  close();
  lastError_.clear();
  // RTLD_LOCAL: the module's symbols never stand in for the host's.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) lastError_ = loaderError("cannot be loaded");
  return handle_ != nullptr;
}

void LoadedModule::close() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

void* LoadedModule::symbol(const char* name) {
  if (handle_ == nullptr) {
    lastError_ = "no module is loaded";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name);
  if (address == nullptr) lastError_ = loaderError("symbol not found");
  return address;
}

}  // namespace orbis::platform
