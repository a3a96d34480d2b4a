#include "platform/sim/SimSurface.h"

#include <algorithm>
#include <cmath>

#include "platform/rects.h"
#include "platform/shared/AccelText.h"
#include "platform/sim/SimDesktop.h"

namespace sim {

plat::SIZE TextSize(const plat::LogicalFont& font, const std::string& line) {
  const int advance = std::max(1, font.pixelHeight / 2) + (font.bold ? 1 : 0);
  return {static_cast<plat::LONG>(advance * static_cast<int>(line.size())), font.pixelHeight};
}

namespace detail {
namespace {

std::string ExpandTabs(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\t')
      do out += ' '; while (out.size() % 8 != 0);
    else
      out += c;
  }
  return out;
}

std::vector<std::string> Wrap(const std::string& line, std::size_t maxChars) {
  std::vector<std::string> out;
  std::string current;
  bool any = false;
  std::size_t i = 0;
  while (i <= line.size()) {
    std::size_t end = line.find(' ', i);
    if (end == std::string::npos) end = line.size();
    const std::string word = line.substr(i, end - i);
    if (any && current.size() + 1 + word.size() > maxChars) {
      out.push_back(current);
      current = word;
    } else {
      if (any) current += ' ';
      current += word;
    }
    any = true;
    i = end + 1;
  }
  out.push_back(current);
  return out;
}

std::uint32_t Argb(plat::COLORREF c) {
  return 0xFF000000u | (std::uint32_t{plat::GetRValue(c)} << 16) | (std::uint32_t{plat::GetGValue(c)} << 8) |
         plat::GetBValue(c);
}

}  // namespace

SimSurface::SimSurface(int width, int height) {
  pixels_.width = std::max(width, 0);
  pixels_.height = std::max(height, 0);
  pixels_.argb.assign(static_cast<std::size_t>(pixels_.width) * pixels_.height, 0xFFFFFFFFu);
  state_.clip = {0, 0, pixels_.width, pixels_.height};
}

void SimSurface::BeginPaint(const plat::RECT& dirty) {
  ops_.clear();
  saved_.clear();
  state_ = State{};
  state_.clip = plat::RectIntersection(dirty, {0, 0, pixels_.width, pixels_.height});
}

void SimSurface::Save() { saved_.push_back(state_); }

void SimSurface::Restore() {
  if (saved_.empty()) return;
  state_ = saved_.back();
  saved_.pop_back();
}

void SimSurface::Translate(int dx, int dy) {
  state_.dx += dx;
  state_.dy += dy;
}

void SimSurface::ClipRect(const plat::RECT& rect) { state_.clip = plat::RectIntersection(state_.clip, ToDevice(rect)); }

plat::RECT SimSurface::ToDevice(const plat::RECT& r) const {
  return {r.left + state_.dx, r.top + state_.dy, r.right + state_.dx, r.bottom + state_.dy};
}

DrawOp SimSurface::Op(DrawKind kind, const plat::RECT& deviceRect) const {
  DrawOp op;
  op.kind = kind;
  op.rect = deviceRect;
  op.clip = state_.clip;
  op.font = state_.font;
  return op;
}

void SimSurface::Plot(int x, int y, std::uint32_t argb) {
  const auto& c = state_.clip;
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return;
  const unsigned alpha = argb >> 24;
  if (alpha == 0) return;
  auto& p = pixels_.argb[static_cast<std::size_t>(y) * pixels_.width + x];
  if (alpha == 255) {
    p = argb;
    return;
  }
  auto mix = [&](int shift) {
    const unsigned s = (argb >> shift) & 0xFF, d = (p >> shift) & 0xFF;
    return ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
  };
  p = 0xFF000000u | mix(16) | mix(8) | mix(0);
}

void SimSurface::FillDevice(const plat::RECT& r, plat::COLORREF color) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) Plot(x, y, Argb(color));
}

void SimSurface::FillRect(const plat::RECT& rect, plat::COLORREF color) {
  const plat::RECT d = ToDevice(rect);
  DrawOp op = Op(DrawKind::Fill, d);
  op.color = color;
  ops_.push_back(op);
  FillDevice(d, color);
}

void SimSurface::FrameRect(const plat::RECT& rect, plat::COLORREF color, plat::PenStyle style) {
  const plat::RECT d = ToDevice(rect);
  DrawOp op = Op(DrawKind::Frame, d);
  op.color = color;
  op.pen = style;
  ops_.push_back(op);
  // A dash pattern of 4 on, 2 off along the outline.
  int step = 0;
  auto dot = [&](int x, int y) {
    if (style == plat::PenStyle::Solid || step % 6 < 4) Plot(x, y, Argb(color));
    ++step;
  };
  if (d.right <= d.left || d.bottom <= d.top) return;
  for (int x = d.left; x < d.right; ++x) dot(x, d.top);
  for (int y = d.top + 1; y < d.bottom; ++y) dot(d.right - 1, y);
  for (int x = d.right - 2; x >= d.left; --x) dot(x, d.bottom - 1);
  for (int y = d.bottom - 2; y > d.top; --y) dot(d.left, y);
}

void SimSurface::SelectFont(const plat::LogicalFont& font) { state_.font = font; }

plat::SIZE SimSurface::TextExtent(const std::string& text) { return TextSize(state_.font, text); }

void SimSurface::PaintLine(int x, int y, const std::string& line, plat::COLORREF color) {
  const int advance = std::max(1, state_.font.pixelHeight / 2) + (state_.font.bold ? 1 : 0);
  const double a = state_.font.angle * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ' ') continue;
    for (int v = 0; v < state_.font.pixelHeight; ++v)
      for (int u = 0; u < advance - 1; ++u) {
        const double du = static_cast<double>(i) * advance + u;
        Plot(x + static_cast<int>(std::lround(du * c + v * s)), y + static_cast<int>(std::lround(-du * s + v * c)),
             Argb(color));
      }
  }
}

void SimSurface::TextLine(int x, int y, const std::string& text, plat::COLORREF color) {
  const plat::SIZE size = TextExtent(text);
  const plat::RECT d = ToDevice({x, y, x + size.cx, y + size.cy});
  DrawOp op = Op(DrawKind::Text, d);
  op.color = color;
  op.text = text;
  ops_.push_back(op);
  PaintLine(d.left, d.top, text, color);
}

int SimSurface::FormattedText(const std::string& text, plat::RECT& rect, plat::UINT format, plat::COLORREF color) {
  const std::string shown = (format & plat::DT_NOPREFIX) ? text : plat::text::StripAccelerators(text).text;
  const int advance = std::max(1, state_.font.pixelHeight / 2) + (state_.font.bold ? 1 : 0);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t nl = (format & plat::DT_SINGLELINE) ? std::string::npos : shown.find('\n', start);
    std::string line = shown.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (format & plat::DT_EXPANDTABS) line = ExpandTabs(line);
    if ((format & plat::DT_WORDBREAK) && rect.right > rect.left) {
      const auto maxChars = static_cast<std::size_t>(std::max(1, static_cast<int>(rect.right - rect.left) / advance));
      for (auto& w : Wrap(line, maxChars)) lines.push_back(w);
    } else {
      lines.push_back(line);
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  int widest = 0;
  for (auto& l : lines) widest = std::max(widest, static_cast<int>(TextSize(state_.font, l).cx));
  const int height = static_cast<int>(lines.size()) * state_.font.pixelHeight;
  if (format & plat::DT_CALCRECT) {
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
    return height;
  }
  const plat::RECT d = ToDevice(rect);
  DrawOp op = Op(DrawKind::FormattedText, d);
  op.color = color;
  op.text = text;
  op.format = format;
  plat::RECT placed{d.right, d.top, d.left, d.top + height};
  const State kept = state_;
  if (!(format & plat::DT_NOCLIP)) state_.clip = plat::RectIntersection(state_.clip, d);
  int y = d.top;
  for (auto& l : lines) {
    const int w = TextSize(state_.font, l).cx;
    int x = d.left;
    if (format & plat::DT_CENTER) x = d.left + (static_cast<int>(d.right - d.left) - w) / 2;
    if (format & plat::DT_RIGHT) x = d.right - w;
    placed.left = std::min<plat::LONG>(placed.left, x);
    placed.right = std::max<plat::LONG>(placed.right, x + w);
    PaintLine(x, y, l, color);
    y += state_.font.pixelHeight;
  }
  state_ = kept;
  if (placed.right < placed.left) placed.right = placed.left = d.left;
  op.textRect = placed;
  ops_.push_back(op);
  return height;
}

void SimSurface::DrawPixels(const plat::Pixels& image, const plat::RECT& dest, bool keyed, plat::COLORREF key) {
  const plat::RECT d = ToDevice(dest);
  DrawOp op = Op(DrawKind::Image, d);
  op.imageWidth = image.width;
  op.imageHeight = image.height;
  op.keyed = keyed;
  op.color = key;
  ops_.push_back(op);
  const int w = d.right - d.left, h = d.bottom - d.top;
  if (image.Empty() || w <= 0 || h <= 0) return;
  const std::uint32_t keyArgb = Argb(key);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = image.At(static_cast<int>(static_cast<long long>(x) * image.width / w),
                                       static_cast<int>(static_cast<long long>(y) * image.height / h));
      if (keyed && (p | 0xFF000000u) == keyArgb) continue;
      Plot(d.left + x, d.top + y, p);
    }
}

std::unique_ptr<plat::Surface> SimSurface::CreateCompatible(int width, int height) {
  auto surface = std::make_unique<SimSurface>(width, height);
  surface->state_.font = state_.font;
  return surface;
}

void SimSurface::CopyFrom(plat::Surface& source, int x, int y) {
  auto& from = dynamic_cast<SimSurface&>(source);
  const plat::RECT d = ToDevice({x, y, x + from.pixels_.width, y + from.pixels_.height});
  for (DrawOp op : from.ops_) {
    for (plat::RECT* r : {&op.rect, &op.textRect, &op.clip}) {
      r->left += d.left;
      r->right += d.left;
      r->top += d.top;
      r->bottom += d.top;
    }
    op.clip = plat::RectIntersection(op.clip, state_.clip);
    op.offscreen = true;
    ops_.push_back(op);
  }
  ops_.push_back(Op(DrawKind::Copy, d));
  for (int row = 0; row < from.pixels_.height; ++row)
    for (int col = 0; col < from.pixels_.width; ++col) Plot(d.left + col, d.top + row, from.pixels_.At(col, row));
}

}  // namespace detail
}  // namespace sim

namespace plat {

std::unique_ptr<ImageSurface> CreateImageSurface(int width, int height) {
  return std::make_unique<sim::detail::SimSurface>(width, height);
}

// The simulated desktop has its visual styles on, as the program's target desktops do.
bool VisualStylesActive() {
  std::lock_guard g(sim::detail::TheDesktop().lock);
  return sim::detail::TheDesktop().visualStyles;
}

}  // namespace plat
