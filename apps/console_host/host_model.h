// The host side of the plug-in interface: the one object behind the host
// functions that a plug-in gets at start-up (Menu, Message, SaveScreen,
// RestoreScreen, Editor, CharTable, EditorControl), the modal editors that
// Editor opens, and the way user input reaches plug-in and editor.
//
// Editors are modal and nest: Editor runs an editor until it closes, and
// the plug-in may open another from inside (through OpenPlugin from the
// editor's plug-in menu). Each event is offered to ProcessEditorInput
// first; the editor acts on it only when the plug-in answers 0. After each
// input, and when an editor opens, the editor redraws: EE_REDRAW goes to
// the plug-in, and the colours ECTL_ADDCOLOR sends meanwhile belong to that
// redraw. ECTL_QUIT closes the editor once the plug-in call that sent it
// has returned; EE_CLOSE is then sent.
//
// The host functions are plain C pointers without user data, so they reach
// the one started HostModel of the process. Everything runs on the thread
// that started it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console_host/front_end.h"
#include "console_host/model_editor.h"
#include "console_host/plugin_module.h"
#include "platform/shared/console.h"

namespace orbis::console {

class HostModel {
public:
  // Editors get the console's width and its height less the status line
  // and the key bar.
  HostModel(const PluginEntryPoints& plugin, FrontEnd& frontEnd, platform::ConsoleSize console);
  ~HostModel();  // leaves the host functions without a host
  HostModel(const HostModel&) = delete;
  HostModel& operator=(const HostModel&) = delete;

  // Makes this the process's host and hands the plug-in its start-up record
  // (SetStartupInfo with moduleName), then asks GetPluginInfo for the
  // plug-in menu's items.
  void start(const std::string& moduleName);
  // Opens file as the command line "ob:FILE" does. True when the plug-in
  // opened an editor for it.
  bool openFromCommandLine(const std::string& file);
  // Opens file in a plain editor of the host, from whose plug-in menu (F11)
  // the plug-in may be opened. False with a short reason when the file
  // cannot be read.
  bool editFile(const std::string& file, std::string& error);
  // ExitFAR.
  void stop();
  // From now on CharTable answers with the table that converts between the
  // ANSI and the OEM code page, so the plug-in converts the titles it
  // shows; by default it answers that no table fits.
  void offerCharTable() { offersCharTable_ = true; }
  // The text lines of the last message with buttons that the plug-in showed
  // since the last open, joined by blanks (a notice such as a refusal).
  const std::string& lastNotice() const { return lastNotice_; }

  // --- the host functions, as the plug-in calls them ---
  int menu(const FarMenuItem* items, int count);
  int message(unsigned flags, const char* const* items, int count, int buttons);
  void* saveScreen();
  void restoreScreen(void* screen);
  int editor(const char* fileName, const char* title, int startLine);
  int editorControl(int command, void* parameter);
  int charTable(int command, char* buffer, int size);
  // The console title listener's report.
  void titleChanged(const char* title);

private:
  void runEditor(ModelEditor& editor, std::string_view title, int32_t startLine,
                 EditorOrigin origin);
  void handle(ModelEditor& editor, const HostEvent& event);
  void deliverInput(ModelEditor& editor, const HostEvent& event);
  void act(ModelEditor& editor, const INPUT_RECORD& record);
  void rememberNotice(std::span<const std::string_view> items, int buttons);
  void showPluginMenu();
  void search(ModelEditor& editor, uint32_t controlState);
  void resize(int columns, int rows);
  void playOtherEditor();
  void redraw(ModelEditor& editor);
  ModelEditor* reportedEditor() const;
  int nextEditorId() { return ++lastEditorId_; }

  PluginEntryPoints plugin_;
  FrontEnd& frontEnd_;
  int windowColumns_;
  int windowRows_;
  std::vector<std::string> menuItems_;
  std::vector<ModelEditor*> editors_;   // the open ones, innermost last
  ModelEditor* otherEditor_ = nullptr;  // reported while it plays its input
  std::vector<std::unique_ptr<SavedScreen>> screens_;
  std::vector<EditorColor> colors_;
  std::string lastNotice_;
  std::string lastSearch_;
  bool redrawing_ = false;
  int lastEditorId_ = 0;
  int pluginEditorsOpened_ = 0;
  bool started_ = false;
  bool offersCharTable_ = false;
};

}  // namespace orbis::console
