#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings.h"
#include "config/settings_fixture.h"
#include "config/settings_sources.h"
#include "markup/byte_source.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;
using testing::loadSettings;
using testing::SettingsTest;

// The fields the loader sets, with the values a file that says nothing
// leaves (the built-in palette gives the editor's blue and light cyan).
struct Fields {
  uint32_t timeout = 15000;
  int32_t tabsize = 8;
  std::string exts = "htm html ";
  int32_t bgcolor = 1;
  int32_t text = 11;
  int32_t link = 9;
  int32_t alink = 12;
  int32_t doccl = 1;
  bool convertCharset = true;
};

void expectFields(const Settings& loaded, const Fields& want) {
  EXPECT_EQ(loaded.timeout, want.timeout);
  EXPECT_EQ(loaded.tabsize, want.tabsize);
  EXPECT_EQ(loaded.exts, want.exts);
  EXPECT_EQ(loaded.bgcolor, want.bgcolor);
  EXPECT_EQ(loaded.text, want.text);
  EXPECT_EQ(loaded.link, want.link);
  EXPECT_EQ(loaded.alink, want.alink);
  EXPECT_EQ(loaded.doccl, want.doccl);
  EXPECT_EQ(loaded.convertCharset, want.convertCharset);
  EXPECT_EQ(loaded.indent, 2);
}

// What the built-in settings text loads to.
const Fields builtInFields = {.bgcolor = 7, .text = 0};

void expectBuiltIn(const Settings& loaded) {
  expectFields(loaded, builtInFields);
  EXPECT_EQ(loaded.namedValues.size(), 20u);
  EXPECT_EQ(loaded.entityCodes.size(), 101u);
  EXPECT_EQ(loaded.entityTexts.size(), 5u);
  EXPECT_EQ(loaded.usedCharacterSets, std::vector<std::string>{"CS"});
}

struct RootCase {
  std::string text;
  Fields want;
};

TEST_F(SettingsTest, RootAttributes) {
  const RootCase cases[] = {
      {"<Orbisline></Orbisline>", {}},
      {"<Orbisline exts=htm></Orbisline>", {.exts = "htm "}},
      {"<Orbisline exts=''></Orbisline>", {}},
      {"<Orbisline exts='txt htm '></Orbisline>", {.exts = "txt htm "}},
      {"<Orbisline exts='htm\t'></Orbisline>", {.exts = "htm\t "}},
      {"<Orbisline timeout=0x1000></Orbisline>", {.timeout = 4096}},
      {"<Orbisline timeout=#10></Orbisline>", {.timeout = 16}},
      {"<Orbisline timeout=2500></Orbisline>", {.timeout = 2500}},
      {"<Orbisline timeout=15s></Orbisline>", {}},
      {"<Orbisline timeout=-1></Orbisline>", {}},
      // Six characters are not hexadecimal here: only colours read them so.
      {"<Orbisline timeout=00FF00></Orbisline>", {}},
      {"<Orbisline timeout=5 timeout=7></Orbisline>", {.timeout = 5}},
      {"<ORBISLINE EXTS=x></orbisline>", {.exts = "x "}},
      // An unclosed root still gives its own attributes, but no children.
      {"<Orbisline timeout=5><Default text=#FF>", {.timeout = 5}},
      // Several roots are read in turn, each overriding what it sets.
      {"<Orbisline timeout=5 exts=a></Orbisline><Orbisline exts=b></Orbisline>",
       {.timeout = 5, .exts = "b "}},
      {"<Orbislines timeout=5></Orbislines><Orbis timeout=6>", {}},
      {"no tags at all", {}},
      {"<Default text=#FF><Use CharacterSet=CS>", {}},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.text);
    expectFields(*loadSettings(c.text), c.want);
  }
}

TEST_F(SettingsTest, DefaultElement) {
  const std::string black = "<Define name=Black value=#0>";
  const std::string maroon = "<Define name=Maroon value=#800000>";
  const RootCase cases[] = {
      {"<Default text=#FF0000 bgcolor=#80 link=0xFFFF00 alink=65280>",
       {.bgcolor = 1, .text = 12, .link = 14, .alink = 10}},
      {"<Default tabsize=4 text=#FF0000>", {.tabsize = 4, .text = 12}},
      // Six bare digits are hexadecimal for colours, decimal otherwise.
      {"<Default text=000000>", {.text = 0}},
      {"<Default text=0000FF>", {.text = 9}},
      {"<Default tabsize=000010>", {.tabsize = 10}},
      {"<Default doccl=0>", {.doccl = 0}},
      {"<Default tabsize=0>", {.tabsize = 0}},
      {"<Default tabsize=0xFFFFFFFF>", {.tabsize = -1}},
      {"<Default bgcolor=nonsense text=#FF tabsize=x doccl=2>", {.text = 9, .doccl = 2}},
      {"<Default text=#FF text=#FF0000>", {.text = 9}},
      {"<Default text=#FF><Default text=#FF0000>", {.text = 12}},
      {"<default TEXT=#FF>", {.text = 9}},
      {"<Defaults text=#FF>", {}},
      // Named values are resolved, whatever the case of the name.
      {black + "<Default text=Black>", {.text = 0}},
      {black + "<Default text=black>", {.text = 0}},
      {black + "<Default text=BLACK>", {.text = 0}},
      // A name used before its Define is neither a name nor a number yet.
      {"<Default bgcolor=maroon>" + maroon, {}},
      {maroon + "<Default bgcolor=maroon>", {.bgcolor = 4}},
      {"<Define name=Four value=4><Default tabsize=four doccl=Four>", {.tabsize = 4, .doccl = 4}},
      // The page conversion: "none" turns it off, "auto" on; other values
      // leave it as it was.
      {"<Default charset=\"none\">", {.convertCharset = false}},
      {"<Default CHARSET=None text=#FF>", {.text = 9, .convertCharset = false}},
      {"<Default charset=none><Default charset=auto>", {}},
      {"<Default charset=none><Default charset=utf-8>", {.convertCharset = false}},
      {"<Default charset=''>", {}},
  };
  for (const RootCase& c : cases) {
    std::string file = "<Orbisline>" + c.text + "</Orbisline>";
    SCOPED_TRACE(file);
    expectFields(*loadSettings(file), c.want);
  }
}

TEST_F(SettingsTest, OnlyChildrenOfTheRootCount) {
  const char* files[] = {
      "<Orbisline></Orbisline><Default text=#FF><Use CharacterSet=CS>",
      "<Default text=#FF><Orbisline></Orbisline>",
      "<Orbisline><Use CharacterSet=a><CharacterSet name=a><Default text=#FF>"
      "<Define name=x value=1></CharacterSet></Orbisline>",
      "<Orbisline><Group><Default text=#FF></Group></Orbisline>",
  };
  for (const char* file : files) {
    SCOPED_TRACE(file);
    auto loaded = loadSettings(file);
    expectFields(*loaded, {});
    EXPECT_TRUE(loaded->namedValues.empty());
  }
}

TEST_F(SettingsTest, UseKeepsEveryNameInOrder) {
  auto loaded = loadSettings(
      "<Orbisline><Use CharacterSet=b><Use CharacterSet=a><Use><Use CharacterSet=''>"
      "<Use CharacterSet=b></Orbisline>");
  EXPECT_EQ(loaded->usedCharacterSets, (std::vector<std::string>{"b", "a", "b"}));
}

TEST_F(SettingsTest, BuiltInTextStandsInForAMissingSource) {
  expectBuiltIn(*loadSettings(std::string_view()));
  MemorySource closed(nullptr, 0);
  expectBuiltIn(*Settings::fromSource(closed));
  expectBuiltIn(*Settings::fromFile("/nonexistent/Orbisline.obs"));
}

class SettingsFileTest : public SettingsTest {
protected:
  testing::ScratchFolder folder;
  std::string directory = folder.path().string() + "/";

  void writeSettings(const std::string& content) {
    std::ofstream(folder.path() / Settings::FileName, std::ios::binary) << content;
  }
};

TEST_F(SettingsFileTest, NoFileMeansTheBuiltInText) {
  Settings loaded(directory);
  expectBuiltIn(loaded);
  EXPECT_EQ(loaded.resolveNamedValue("teal"), "#8080");
  EXPECT_EQ(loaded.textForName("copy"), "(c)");
}

TEST_F(SettingsFileTest, EmptyFileMeansTheBuiltInText) {
  writeSettings("");
  expectBuiltIn(Settings(directory));
  expectBuiltIn(*Settings::fromFile((folder.path() / Settings::FileName).string()));
}

TEST_F(SettingsFileTest, FileReplacesTheBuiltInText) {
  writeSettings("<Orbisline exts='txt' timeout=100>\r\n  <Default doccl=0>\r\n</Orbisline>\r\n");
  Settings loaded(directory);
  expectFields(loaded, {.timeout = 100, .exts = "txt ", .doccl = 0});
  EXPECT_TRUE(loaded.namedValues.empty());
  EXPECT_TRUE(loaded.entityCodes.empty());

  expectFields(*Settings::fromFile((folder.path() / Settings::FileName).string()),
               {.timeout = 100, .exts = "txt ", .doccl = 0});
}

// The first place that applies wins: the named file, the user's own, the
// module's, the built-in text. A named or user's file must be readable; the
// module's may be missing.
TEST_F(SettingsTest, SourcesAreTriedInTheirOrder) {
  testing::ScratchFolder module;
  testing::ScratchFolder config;
  testing::ScratchFolder named;
  testing::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path().c_str());
  const fs::path user = config.path() / "orbisline" / "Orbisline.obs";
  const std::string namedFile = (named.path() / "named.obs").string();
  std::ofstream(namedFile) << "<Orbisline exts='named '></Orbisline>";
  std::ofstream(module.path() / Settings::FileName) << "<Orbisline exts='module '></Orbisline>";
  const std::string moduleDirectory = module.path().string() + "/";
  struct Case {
    std::string named;
    bool userFile;
    std::string module;
    const char* exts;  // null: refused
  };
  const Case cases[] = {
      {namedFile, true, moduleDirectory, "named "},
      {"", true, moduleDirectory, "user "},
      {"", false, moduleDirectory, "module "},
      {"", false, "", "htm html "},
      {"", false, (named.path() / "nowhere").string() + "/", "htm html "},
      {(named.path() / "missing.obs").string(), true, moduleDirectory, nullptr},
  };
  for (const Case& c : cases) {
    fs::remove_all(user.parent_path());
    if (c.userFile) {
      fs::create_directories(user.parent_path());
      std::ofstream(user) << "<Orbisline exts='user '></Orbisline>";
    }
    std::string error;
    std::unique_ptr<Settings> loaded = orbis::loadSettings(c.named, c.module, error);
    if (c.exts == nullptr) {
      EXPECT_EQ(loaded, nullptr) << c.named;
      EXPECT_EQ(error.rfind("cannot read the settings file " + c.named + ": ", 0), 0u) << error;
      continue;
    }
    ASSERT_NE(loaded, nullptr) << error;
    EXPECT_EQ(loaded->exts, c.exts) << c.named << " user " << c.userFile << " " << c.module;
  }
}

}  // namespace
}  // namespace orbis
