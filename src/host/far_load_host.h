// What a load shows while it runs (the progress box, the time-out question,
// the saved screen), through the host's Message, SaveScreen and
// RestoreScreen.
#pragma once

namespace orbis::host {

// Hands the load the host of the start-up table; removeLoadHost takes it
// back (a load then shows nothing).
void installLoadHost();
void removeLoadHost();

}  // namespace orbis::host
