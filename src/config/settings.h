// The one configuration object: accepted extensions, parse time-out, tab
// size, default document colours, named colours, the character sets in use
// and their entities. Loaded once from "Orbisline.obs" in the plug-in's
// directory, or from the built-in settings text when that file is missing or
// empty; read-only afterwards. Its fields are read directly.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/colors.h"
#include "markup/document_parser.h"
#include "markup/lower_string.h"

namespace orbis {

class ByteSource;
class ElementNode;

class Settings : public EntityResolver {
public:
  static constexpr const char* FileName = "Orbisline.obs";

  // Loads directory + "Orbisline.obs" (directory ends in a separator, or is
  // empty). Cannot fail: anything unreadable leaves the defaults.
  explicit Settings(const std::string& directory);
  ~Settings() override;

  // Loads the given settings file instead; falls back to the built-in text
  // when it cannot be opened or is empty.
  static std::unique_ptr<Settings> fromFile(const std::string& path);
  // Loads from any source (tests, fuzzing); the built-in text when the
  // source is not open.
  static std::unique_ptr<Settings> fromSource(ByteSource& source);

  std::string resolveNamedValue(const std::string& text) const;
  bool isCharacterSetUsed(std::string_view name) const;
  std::string textForCode(int32_t code) const override;
  std::string textForName(std::string_view name) const override;

  std::map<int32_t, std::string> entityTexts;
  std::map<std::string, int32_t, std::less<>> entityCodes;  // look-ups by string_view
  std::vector<std::string> usedCharacterSets;
  NamedValues namedValues;
  uint32_t timeout = 15000;
  int32_t tabsize = 8;
  int32_t indent = 2;
  std::string exts = "htm html ";
  Palette palette;
  int32_t bgcolor = 0;
  int32_t text = 0;
  int32_t link = 9;
  int32_t alink = 12;
  int32_t doccl = 1;
  // Pages in other encodings are converted to the code page, and names of
  // HTML's references that the character sets leave undefined are known
  // too; "none" in the Default element's charset attribute turns both off.
  bool convertCharset = true;

private:
  struct NoLoad {};
  explicit Settings(NoLoad);
  void loadDefaults();
  void load(ByteSource* source);
  void readRoot(const ElementNode& root);
  void handleUse(const ElementNode& element);
  void handleDefine(const ElementNode& element);
  void handleDefault(const ElementNode& element);
  void handleCharacterSet(const ElementNode& element);

  // The names of usedCharacterSets as the loader added them, so that a file
  // with many Use and CharacterSet tags is not read in quadratic time.
  std::set<LowerString> usedIndex_;
};

// The extensions of the files a load accepts (compared without regard to
// case): the words of exts, each ended by one blank, so text after the last
// blank is not a word and two blanks in a row make an empty word. The views
// point into settings.
std::vector<std::string_view> acceptedExtensions(const Settings& settings);

}  // namespace orbis
