// What a load shows while it runs, through whoever hosts it: the progress
// box over a saved screen, and the question after the parse time-out. The
// plug-in adapts this to its host's message boxes.
#pragma once

namespace orbis {

class LoadHost {
public:
  virtual ~LoadHost() = default;

  // Keeps the whole screen, before the progress box is first drawn.
  virtual void saveScreen() = 0;
  // Puts back the screen that saveScreen kept.
  virtual void restoreScreen() = 0;
  // Draws the progress box with bar (a zero-terminated row of cells), over
  // what the box drew before when keepBackground is set (every draw after
  // the first).
  virtual void showProgress(const char* bar, bool keepBackground) = 0;
  // Asks, once the parse has run for the time-out, whether to go on: true
  // for "Resume", false for "Terminate" or a box closed without a choice.
  virtual bool askResume() = 0;
};

}  // namespace orbis
