#include "terminal_host/event_timing.h"

#include "platform/process.h"

namespace orbis::terminal {

namespace {

long long microseconds(EventTiming::Clock::duration duration) {
  return std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
}

}  // namespace

EventTiming::EventTiming(Clock::time_point programStart) : programStart_(programStart) {
  std::string path = platform::environmentVariable("ORBISLINE_TIMING");
  if (!path.empty()) file_ = std::fopen(path.c_str(), "w");
}

EventTiming::~EventTiming() {
  inputDone();
  if (file_ != nullptr) std::fclose(file_);
}

void EventTiming::inputRead(std::string name) {
  if (file_ == nullptr) return;
  inputDone();
  pending_ = std::move(name);
  read_ = Clock::now();
}

void EventTiming::screenUpdated() {
  if (file_ == nullptr) return;
  updated_ = Clock::now();
}

void EventTiming::pageShown() {
  if (file_ == nullptr || opened_) return;
  opened_ = true;
  std::fprintf(file_, "open %lld\n", microseconds(updated_ - programStart_));
  std::fflush(file_);
}

void EventTiming::inputDone() {
  if (file_ == nullptr || pending_.empty()) return;
  if (updated_ > read_) {
    std::fprintf(file_, "event %s %lld\n", pending_.c_str(), microseconds(updated_ - read_));
    std::fflush(file_);
  }
  pending_.clear();
}

}  // namespace orbis::terminal
