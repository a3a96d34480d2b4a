#include "platform/shared/AccelText.h"

namespace plat::text {

AccelText StripAccelerators(const std::string& text) {
  AccelText out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      // The last marked character wins, as with Windows' own controls.
      if (text[i] != '&') out.underline = static_cast<int>(out.text.size());
    }
    out.text += text[i];
  }
  return out;
}

}  // namespace plat::text
