// The progress box of a load: a bar of BarCells cells drawn over a saved
// screen through the load's host, and the time-out question. The saved
// screen comes back at the latest when the box goes, also when the load
// fails half-way. Without a host nothing is drawn and the question counts
// as answered "Resume".
#pragma once

#include <cstdint>

#include "render/load_host.h"

namespace orbis {

class ProgressBox {
public:
  static constexpr int BarCells = 50;
  static constexpr int ParseCells = 40;  // the rest fill up once layout is done

  explicit ProgressBox(LoadHost* host);
  ~ProgressBox();
  ProgressBox(const ProgressBox&) = delete;
  ProgressBox& operator=(const ProgressBox&) = delete;

  // Saves the screen and draws the empty bar.
  void show();
  // Fills the cells that percent of the parse stands for; redraws only when
  // their number changes.
  void showParsed(int32_t percent);
  // Fills the whole bar, draws it once more and restores the screen.
  void complete();
  // The time-out question: true to go on.
  bool askResume() const;

private:
  void fill(int cells);
  void draw() const;
  void restore();

  LoadHost* host_;
  bool saved_ = false;
  char bar_[BarCells + 1];
  int shown_ = 0;
};

}  // namespace orbis
