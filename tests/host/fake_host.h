// A host for calling the plug-in in-process: the functions of the start-up
// table record what they were asked in `calls` (one line each) and answer as
// the test sets up. Editor runs `inEditor` while it is "open", with
// `editor` describing it to ECTL_GETINFO. Host functions are plain C
// pointers, so they reach the one FakeHost alive through a global.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/far_api.h"

namespace orbis::testing {

struct FakeEditor {
  int id = 1;
  std::string fileName;
  int width = 80;
  int height = 23;
  int line = 0;
  int column = 0;
  int top = 0;
};

class FakeHost {
public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  PluginStartupInfo startupInfo(const char* moduleName = "/nowhere/Orbisline.so") const;

  std::vector<std::string> calls;
  int messageAnswer = 0;
  int menuAnswer = -1;
  FakeEditor editor;
  std::function<void()> inEditor;
  bool quitRequested = false;
};

}  // namespace orbis::testing
