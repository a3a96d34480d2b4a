#pragma once
// "&" accelerator prefixes as DrawText handles them: "&x" underlines x, "&&" is one "&".
#include <string>

namespace plat::text {

struct AccelText {
  std::string text;
  // Byte offset of the underlined character in `text`, or -1.
  int underline = -1;
};

AccelText StripAccelerators(const std::string& text);

}  // namespace plat::text
