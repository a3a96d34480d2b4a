#pragma once
// Reading order of the application's and a form's text.

namespace tk {

enum class BiDiMode { LeftToRight, RightToLeft, RightToLeftNoAlign, RightToLeftReadingOnly };

}  // namespace tk
