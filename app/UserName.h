#pragma once
// The logged-on user's name, which names the user's settings file.
#include <string>

// What the platform's user-name query leaves in a 128-character buffer, up to its NUL. When the
// query fails (no name, or one of 128 characters or more) the name is empty: the settings file
// name is then the install folder itself, which reads as defaults and refuses writes.
std::string QueryUserName();
