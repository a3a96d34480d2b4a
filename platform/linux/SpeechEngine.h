#pragma once
// The speech engine behind the linux voices (espeak-ng), as the rest of the backend sees it.

namespace plat::speech {

// Starts loading the engine on a thread of its own, so that the first voice, made on the GUI
// thread, finds it ready instead of waiting for the library, its dependencies and its data.
// Does nothing once a voice has been made: from then on the voices load and unload it.
void PrepareEngineInBackground();

}  // namespace plat::speech
