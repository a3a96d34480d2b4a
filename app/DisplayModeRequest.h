#pragma once
// The display-mode request built from the user's stored choice, and the short text that names
// the platform's answer (the main window picks its report by that text).
#include <string>

#include "platform/display.h"

// Mode codes 1 to 4 are 640x480, 800x600, 1024x768 and 1280x1024; any other code is 800x600.
// The depth text "16" exactly means 16 bits per pixel, anything else 32.
plat::DEVMODEA DisplayModeRequest(int modeCode, const std::string& depthText);

// "dcs", "dcr", "dcbf", "dcn", "dcbm", "dcf" for the DISP_CHANGE_* results, "error" for any
// other value.
std::string DisplayChangeResultText(plat::LONG result);
