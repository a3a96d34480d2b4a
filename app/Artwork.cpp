#include "app/Artwork.h"

#include <stdexcept>

#include "toolkit/Picture.h"
#include "toolkit/Resources.h"

struct TavelinEmbeddedFile {
  const char* name;
  const std::uint8_t* data;
  std::size_t size;
};
extern const TavelinEmbeddedFile tavelin_embedded_files[];
extern const std::size_t tavelin_embedded_file_count;

namespace artwork {

void Register() {
  for (std::size_t i = 0; i < tavelin_embedded_file_count; ++i) {
    const auto& f = tavelin_embedded_files[i];
    tk::RegisterResource(f.name, {f.data, f.size});
  }
}

plat::IconImage ProgramIcon(int size) {
  Register();
  tk::Picture picture;
  picture.LoadFromResourceName(kIcon);
  auto* icon = dynamic_cast<tk::IconGraphic*>(picture.GetGraphic());
  if (!icon) throw std::runtime_error("the program icon is not an icon");
  const auto& image = icon->ImageFor(size);
  return {image.width, image.height, image.argb};
}

}  // namespace artwork
