// The settings loader. The settings file is markup read by the same
// tokenizer and tree builder as pages; the loader then looks only at the
// children of each closed Orbisline element at the top level and ignores
// everything else. A value that cannot be read leaves its field as it was,
// so a broken file degrades to the defaults piece by piece.
#include "config/settings.h"

#include "config/default_settings.h"
#include "markup/byte_source.h"
#include "markup/markup_parser.h"
#include "markup/node.h"
#include "markup/number.h"
#include "markup/tree.h"

namespace orbis {

namespace {

bool hasName(const ElementNode& element, std::string_view name) {
  return equalsIgnoringCase(element.name(), name);
}

}  // namespace

Settings::Settings(const std::string& directory) {
  loadDefaults();
  std::string path = directory + FileName;
  FileSource source(path.c_str());
  load(&source);
}

Settings::Settings(NoLoad) { loadDefaults(); }

Settings::~Settings() = default;

std::unique_ptr<Settings> Settings::fromFile(const std::string& path) {
  std::unique_ptr<Settings> loaded(new Settings(NoLoad{}));
  FileSource source(path.c_str());
  loaded->load(&source);
  return loaded;
}

std::unique_ptr<Settings> Settings::fromSource(ByteSource& source) {
  std::unique_ptr<Settings> loaded(new Settings(NoLoad{}));
  loaded->load(&source);
  return loaded;
}

// The fields' initialisers hold the other defaults; only the document
// colours depend on the palette, which is read by now.
void Settings::loadDefaults() {
  ColorPair editorText = palette.colorsAt(EditorTextEntry);
  bgcolor = editorText.background;
  text = editorText.foreground;
}

void Settings::load(ByteSource* source) {
  MemorySource builtIn(defaultSettingsText, static_cast<int64_t>(defaultSettingsTextLength));
  if (!source || !source->isOpen()) source = &builtIn;
  if (!source->isOpen()) return;

  Tree root;
  MarkupParser parser;
  parser.parse(source, &root);
  for (const Node* child : root.children()) {
    const ElementNode* element = asElement(child);
    if (element && hasName(*element, "Orbisline")) readRoot(*element);
  }
}

void Settings::readRoot(const ElementNode& root) {
  uint32_t number = 0;
  if (getNumberAttribute(root, "timeout", number)) timeout = number;
  root.getAttribute("exts", exts);
  // The extension check matches "ext " pieces, so the list must end in one.
  if (exts.empty() || exts.back() != ' ') exts += ' ';

  for (const Node* child : root.children()) {
    const ElementNode* element = asElement(child);
    if (!element) continue;
    if (hasName(*element, "Use")) {
      handleUse(*element);
    } else if (hasName(*element, "CharacterSet")) {
      handleCharacterSet(*element);
    } else if (hasName(*element, "Define")) {
      handleDefine(*element);
    } else if (hasName(*element, "Default")) {
      handleDefault(*element);
    }
  }
}

void Settings::handleUse(const ElementNode& element) {
  std::string name;
  if (!element.getAttribute("CharacterSet", name)) return;
  usedIndex_.insert(LowerString(name));
  usedCharacterSets.push_back(std::move(name));
}

// Values are resolved when they are defined, so a lookup is one step and
// names can form no chains or cycles.
void Settings::handleDefine(const ElementNode& element) {
  std::string name;
  std::string value;
  if (!element.getAttribute("name", name) || !element.getAttribute("value", value)) return;
  std::string resolved = resolveNamedValue(value);
  namedValues.insert_or_assign(LowerString(std::move(name)), std::move(resolved));
}

void Settings::handleDefault(const ElementNode& element) {
  struct Field {
    const char* attribute;
    int32_t& target;
    bool isColor;
  };
  const Field fields[] = {
      {"bgcolor", bgcolor, true}, {"text", text, true},        {"link", link, true},
      {"alink", alink, true},     {"tabsize", tabsize, false}, {"doccl", doccl, false},
  };
  for (const Field& field : fields) {
    std::string value;
    uint32_t number = 0;
    if (!element.getAttribute(field.attribute, value)) continue;
    if (!parseNumber(resolveNamedValue(value), field.isColor, number)) continue;
    // A tab size of 0xFFFFFFFF is stored as -1; text flow guards sizes below 1.
    field.target = field.isColor ? rgbToConsole(number) : static_cast<int32_t>(number);
  }
  // The built-in text has no charset attribute: conversion is the default.
  std::string charset;
  if (!element.getAttribute("charset", charset)) return;
  if (equalsIgnoringCase(charset, "none")) convertCharset = false;
  if (equalsIgnoringCase(charset, "auto")) convertCharset = true;
}

std::vector<std::string_view> acceptedExtensions(const Settings& settings) {
  std::string_view exts = settings.exts;
  std::vector<std::string_view> words;
  for (std::size_t blank = exts.find(' '); blank != std::string_view::npos;
       blank = exts.find(' ')) {
    words.push_back(exts.substr(0, blank));
    exts.remove_prefix(blank + 1);
  }
  return words;
}

std::string Settings::resolveNamedValue(const std::string& valueText) const {
  return orbis::resolveNamedValue(namedValues, valueText);
}

}  // namespace orbis
