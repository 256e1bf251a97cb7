// A shared module loaded at run time, standing in for LoadLibrary and
// GetProcAddress: the hosts load the plug-in module through it.
#pragma once

#include <string>

namespace orbis::platform {

// The file name extension of a module the system loads.
#ifdef _WIN32
constexpr const char* ModuleExtension = ".dll";
#else
constexpr const char* ModuleExtension = ".so";
#endif

class LoadedModule {
public:
  LoadedModule() = default;
  ~LoadedModule();  // unloads the module
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loads the module at path with all its symbols resolved now and kept to
  // itself. False with the loader's reason in lastError() when it cannot.
  bool open(const std::string& path);
  bool isOpen() const { return handle_ != nullptr; }
  void close();

  // The address of an exported symbol, or null (with lastError() set).
  void* symbol(const char* name);

  const std::string& lastError() const { return lastError_; }
  // The loader's own handle of the module (an HMODULE on Windows).
  void* nativeHandle() const { return handle_; }

private:
  void* handle_ = nullptr;
  std::string lastError_;
};

}  // namespace orbis::platform
