// The terminal host's account of its own speed, for benchmarks that drive
// it from outside and cannot time a screen update to the millisecond. When
// the environment variable ORBISLINE_TIMING names a file, the host writes
// there, one line each, flushed at once:
//
//   open USEC          once: from the program's start to the end of the
//                      first screen update that shows a page
//   event NAME USEC    per input read from the terminal: from the read to
//                      the end of the last screen update it caused (a
//                      key's press and release both count), written when
//                      the host is ready for the next input
//
// NAME is the key's name as the key script writes it (Down, Ctrl+End), or
// move:C,R, press:C,R, release:C,R, wheel-up:C,R, wheel-down:C,R or
// resize:WxH. An input that changed nothing on the screen has no line.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace orbis::terminal {

class EventTiming {
public:
  using Clock = std::chrono::steady_clock;

  // Nothing is written unless ORBISLINE_TIMING names a file that can be
  // written.
  explicit EventTiming(Clock::time_point programStart);
  ~EventTiming();
  EventTiming(const EventTiming&) = delete;
  EventTiming& operator=(const EventTiming&) = delete;

  // The host reads an input, and is done with the one before (whose line
  // is then written).
  void inputRead(std::string name);
  void screenUpdated();
  // The screen update just made shows a page (only the first counts).
  void pageShown();
  // Everything the last input caused is on the screen; the host waits.
  void inputDone();

  std::FILE* file_ = nullptr;
  Clock::time_point programStart_;
  bool opened_ = false;
  std::string pending_;
  Clock::time_point read_{};
  Clock::time_point updated_{};
};

}  // namespace orbis::terminal
