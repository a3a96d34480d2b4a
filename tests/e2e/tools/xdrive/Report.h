// What the driver tells when a wait fails: the events it saw, the windows on the screen with their
// titles and places, where the pointer and the focus are, and a screenshot saved to a file.
#pragma once

#include <string>

#include "Connection.h"

namespace xdrive {

// The folder for screenshots and the event log: $TAVELIN_E2E_ARTIFACTS, else $TMPDIR or /tmp.
std::string ArtifactsDir();

// Saves the whole screen as a PNG file; false when it could not.
bool SaveScreenshot(Connection& c, const std::string& path);

// Prints to stderr why the driver gives up (`what`), the events it saw, the windows and the
// screenshot's path.
void ReportFailure(Connection& c, const std::string& what);

// Prints the viewable windows (id, size and place, override-redirect, class, title) to `out`.
void PrintWindows(Connection& c, FILE* out, bool top_level_only);

}  // namespace xdrive
