#include "toolkit/Picture.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "toolkit/ImageCodecs.h"
#include "toolkit/Resources.h"

namespace tk {

void Picture::SetGraphic(std::unique_ptr<Graphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this] { Changed(); };
  Changed();
}

void Picture::Changed() {
  if (OnChange) OnChange();
}

void Picture::Assign(const Picture& other) {
  if (&other == this) return;
  SetGraphic(other.graphic_ ? other.graphic_->Clone() : nullptr);
}

void Picture::LoadFromData(std::span<const std::uint8_t> data) {
  if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    DecodedBitmap bitmap = DecodeBmp(data);
    SetGraphic(std::make_unique<Bitmap>(std::move(bitmap.pixels), bitmap.hasAlpha));
  } else if (IsRunCoded(data)) {
    SetGraphic(std::make_unique<Bitmap>(DecodeRunCoded(data), false));
  } else if (data.size() >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0) {
    SetGraphic(std::make_unique<IconGraphic>(DecodeIco(data)));
  } else {
    throw std::runtime_error("unknown picture format");
  }
}

void Picture::LoadFromFile(const std::string& path) {
  // C streams, not iostreams: a statically linked program would carry all of the locale
  // machinery for this one read.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> data;
  std::uint8_t chunk[16384];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, in.get())) > 0;) data.insert(data.end(), chunk, chunk + n);
  if (std::ferror(in.get())) throw std::runtime_error("cannot read " + path);
  try {
    LoadFromData(data);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(path + ": " + e.what());
  }
}

void Picture::LoadFromResourceName(const std::string& name) {
  auto data = FindResource(name);
  if (!data) throw std::runtime_error("resource " + name + " not found");
  LoadFromData(*data);
}

}  // namespace tk
