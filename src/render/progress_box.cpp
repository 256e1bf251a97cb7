#include "render/progress_box.h"

#include <cstring>

namespace orbis {

namespace {

constexpr char EmptyCell = '\xB1';  // light shade in the host's code page
constexpr char FullCell = '\xDB';   // full block

int cellsForProgress(int32_t percent) {
  int cells = static_cast<int>(static_cast<int64_t>(percent) * ProgressBox::ParseCells / 100);
  return cells < 0 ? 0 : (cells > ProgressBox::ParseCells ? ProgressBox::ParseCells : cells);
}

}  // namespace

ProgressBox::ProgressBox(LoadHost* host) : host_(host) {
  std::memset(bar_, EmptyCell, BarCells);
  bar_[BarCells] = '\0';
}

ProgressBox::~ProgressBox() { restore(); }

void ProgressBox::show() {
  if (host_ == nullptr) return;
  host_->saveScreen();
  saved_ = true;
  host_->showProgress(bar_, false);
}

void ProgressBox::showParsed(int32_t percent) { fill(cellsForProgress(percent)); }

void ProgressBox::fill(int cells) {
  if (cells == shown_) return;
  if (cells > shown_)
    std::memset(bar_ + shown_, FullCell, static_cast<std::size_t>(cells - shown_));
  shown_ = cells;
  draw();
}

void ProgressBox::complete() {
  std::memset(bar_, FullCell, BarCells);
  shown_ = BarCells;
  draw();
  restore();
}

bool ProgressBox::askResume() const { return host_ == nullptr || host_->askResume(); }

void ProgressBox::draw() const {
  if (host_ != nullptr) host_->showProgress(bar_, true);
}

void ProgressBox::restore() {
  if (!saved_) return;
  saved_ = false;
  host_->restoreScreen();
}

}  // namespace orbis
