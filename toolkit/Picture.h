#pragma once
// A picture: holds one graphic (bitmap or icon) or none, and tells its owner when it changes.
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "toolkit/Graphic.h"

namespace tk {

// A picture being loaded in stages, as loaders that report progress call it.
enum class ProgressStage { Starting, Running, Ending };
using ProgressEvent = std::function<void(void* sender, ProgressStage stage, int percentDone, bool redrawNow,
                                         const plat::RECT& rect, const std::string& message)>;

class Picture {
 public:
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Null when empty.
  Graphic* GetGraphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<Graphic> graphic);
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }

  // Copies the other picture's graphic (or its emptiness).
  void Assign(const Picture& other);
  // A .bmp or .ico file, told apart by its content. Throws std::runtime_error when it cannot.
  void LoadFromFile(const std::string& path);
  // Data carried by the program (toolkit/Resources.h), told apart by its content.
  void LoadFromResourceName(const std::string& name);
  void LoadFromData(std::span<const std::uint8_t> data);
  void Clear() { SetGraphic(nullptr); }

  std::function<void()> OnChange;
  ProgressEvent OnProgress;

 private:
  void Changed();
  std::unique_ptr<Graphic> graphic_;
};

}  // namespace tk
