// The welcome pages that ship with the program, laid out by the built
// executable as the viewer lays them out (--runs): every link leads to a
// page that exists or to an anchor of its own page, every page can be
// reached from the first one, and no line runs past the screen's right
// edge at the widths people use.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orbis {
namespace {

const std::filesystem::path WelcomeFolder = ORBIS_SOURCE_DIR "/welcome";
const char* const Binary = ORBIS_BINARY_DIR "/orbisline";
const char* const FirstPage = "index.html";

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Splits a line of --runs output into words; a quoted text is one word,
// unescaped enough for names and targets (\" and \\).
std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        word += line[i];
      }
      ++i;
    } else {
      for (; i < line.size() && line[i] != ' '; ++i) word += line[i];
    }
    out.push_back(word);
  }
  return out;
}

struct Layout {
  int status = -1;
  std::string title;
  std::set<std::string> anchors;  // lower case: anchors match without regard to case
  std::vector<std::string> targets;
  std::vector<int> lineEnds;  // the last column each line reaches, -1 when empty
};

Layout layOut(const std::filesystem::path& page, int width) {
  std::string command = std::string("'") + Binary + "' --runs --width " + std::to_string(width) +
                        " --height 25 '" + page.string() + "' 2>/dev/null";
  Layout layout;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return layout;
  std::string output;
  char block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) output.append(block, n);
  int status = pclose(pipe);
  layout.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> w = words(line);
    if (w.empty()) continue;
    if (w[0] == "title" && w.size() > 1) layout.title = w[1];
    if (w[0] == "anchor" && w.size() > 1) layout.anchors.insert(lowered(w[1]));
    if (w[0] == "line") layout.lineEnds.push_back(-1);
    if ((w[0] == "text" || w[0] == "link") && w.size() > 2 && !layout.lineEnds.empty()) {
      layout.lineEnds.back() = std::max(layout.lineEnds.back(), std::stoi(w[2]));
    }
    // link START END BG FG ABG AFG "text" "target" [prev] [next]
    if (w[0] == "link" && w.size() > 8) layout.targets.push_back(w[8]);
  }
  return layout;
}

std::vector<std::string> pageNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(WelcomeFolder)) {
    if (entry.path().extension() == ".html") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WelcomePages, TheFirstPageIsTitledWithTheProgramsName) {
  Layout layout = layOut(WelcomeFolder / FirstPage, 80);
  EXPECT_EQ(layout.status, 0);
  EXPECT_EQ(layout.title, "Orbisline");
}

TEST(WelcomePages, LinksLeadSomewhereAndEveryPageIsReached) {
  std::vector<std::string> names = pageNames();
  ASSERT_GE(names.size(), 2u);
  std::map<std::string, std::vector<std::string>> linksTo;
  for (const std::string& name : names) {
    Layout layout = layOut(WelcomeFolder / name, 80);
    ASSERT_EQ(layout.status, 0) << name;
    EXPECT_FALSE(layout.title.empty()) << name;
    EXPECT_FALSE(layout.targets.empty()) << name;
    for (const std::string& target : layout.targets) {
      if (target.rfind('#', 0) == 0) {
        EXPECT_TRUE(layout.anchors.count(lowered(target.substr(1)))) << name << " " << target;
        continue;
      }
      // The viewer drops a fragment after a file name, so a page link has none.
      EXPECT_EQ(target.find('#'), std::string::npos) << name << " " << target;
      EXPECT_TRUE(std::filesystem::is_regular_file(WelcomeFolder / target))
          << name << " " << target;
      linksTo[name].push_back(target);
    }
  }
  std::set<std::string> reached{FirstPage};
  std::vector<std::string> pending{FirstPage};
  while (!pending.empty()) {
    std::string page = pending.back();
    pending.pop_back();
    for (const std::string& target : linksTo[page]) {
      if (reached.insert(target).second) pending.push_back(target);
    }
  }
  EXPECT_EQ(reached, std::set<std::string>(names.begin(), names.end()));
}

TEST(WelcomePages, NoLineRunsPastTheRightEdge) {
  for (const std::string& name : pageNames()) {
    for (int width : {60, 80, 120}) {
      Layout layout = layOut(WelcomeFolder / name, width);
      ASSERT_EQ(layout.status, 0) << name;
      for (size_t line = 0; line < layout.lineEnds.size(); ++line) {
        EXPECT_LT(layout.lineEnds[line], width)
            << name << " at width " << width << ", line " << line;
      }
    }
  }
}

}  // namespace
}  // namespace orbis
