#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/history.h"

namespace orbis::host {
namespace {

// Sequences of pushes ("+PATH") and pops ("-"), with what each pop returns
// ("" when the history is empty) and the top afterwards.
TEST(HistoryTest, PopsReturnTheNewestEntryFirst) {
  struct Case {
    std::vector<std::string> steps;
    std::vector<std::string> popped;
    std::string top;  // "" when empty
  };
  const Case cases[] = {
      {{"+A", "+B", "+C", "-", "-", "-", "-"}, {"C", "B", "A", ""}, ""},
      {{"+A", "+B", "+C", "-", "+E", "-", "-"}, {"C", "E", "B"}, "A"},
      {{"-", "+A"}, {""}, "A"},
      {{"+A", "-", "+B", "+C"}, {"A"}, "C"},
  };
  for (const Case& c : cases) {
    History history;
    std::vector<std::string> popped;
    int line = 0;
    for (const std::string& step : c.steps) {
      if (step[0] == '+') {
        history.push(step.substr(1), "title " + step.substr(1), ++line);
        continue;
      }
      std::unique_ptr<HistoryEntry> entry = history.pop();
      popped.push_back(entry != nullptr ? entry->path : "");
      if (entry != nullptr) {
        EXPECT_EQ(entry->title, "title " + entry->path);
      }
    }
    EXPECT_EQ(popped, c.popped);
    const HistoryEntry* top = history.top();
    EXPECT_EQ(top != nullptr ? top->path : "", c.top);
    EXPECT_EQ(history.empty(), c.top.empty());
  }
}

TEST(HistoryTest, EntriesKeepTheirLines) {
  History history;
  history.push("a.htm", "A", 0);
  history.push("b.htm", "B", 40000);  // past what 16 bits hold
  history.push("c.htm", "", -1);
  EXPECT_EQ(history.pop()->line, -1);
  EXPECT_EQ(history.top()->line, 40000);
  EXPECT_EQ(history.pop()->line, 40000);
  EXPECT_EQ(history.pop()->line, 0);
}

}  // namespace
}  // namespace orbis::host
