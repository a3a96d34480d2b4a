// Pictures: bitmaps and icons read from files and from the program's carried data, what is
// refused, and the program's own artwork at the sizes the windows expect.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "app/Artwork.h"
#include "toolkit/ImageCodecs.h"
#include "toolkit/Picture.h"
#include "toolkit/Resources.h"

namespace {

void Put16(std::vector<std::uint8_t>& v, unsigned x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A 2 x 2 bitmap of the given depth, bottom-up: bottom row blue, red; top row green, white.
std::vector<std::uint8_t> Bmp(int bits, bool alpha) {
  std::vector<std::uint8_t> pixels;
  const std::uint32_t rows[2][2] = {{0xFF0000FF, 0xFFFF0000}, {0xFF00FF00, 0xFFFFFFFF}};
  for (auto& row : rows) {
    for (std::uint32_t p : row) {
      pixels.push_back(static_cast<std::uint8_t>(p));
      pixels.push_back(static_cast<std::uint8_t>(p >> 8));
      pixels.push_back(static_cast<std::uint8_t>(p >> 16));
      if (bits == 32) pixels.push_back(alpha ? 0x80 : 0);
    }
    if (bits == 24) pixels.insert(pixels.end(), {0, 0});  // rows end on 4 bytes
  }
  std::vector<std::uint8_t> file{'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(54 + pixels.size()));
  Put32(file, 0);
  Put32(file, 54);
  Put32(file, 40);
  Put32(file, 2);
  Put32(file, 2);
  Put16(file, 1);
  Put16(file, static_cast<unsigned>(bits));
  for (int i = 0; i < 6; ++i) Put32(file, 0);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

TEST(Picture, ReadsBitmapsOfBothDepthsAndSaysWhatIsWrongWithOthers) {
  tk::Picture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromData(Bmp(24, false));
  EXPECT_EQ(changes, 1);
  auto* bitmap = dynamic_cast<tk::Bitmap*>(picture.GetGraphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_FALSE(bitmap->HasAlpha());
  EXPECT_EQ(bitmap->Pixels().At(0, 1), 0xFF0000FFu);  // bottom-up rows
  EXPECT_EQ(bitmap->Pixels().At(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bitmap->TransparentColor(), plat::RGB(0, 0, 255));  // the bottom-left pixel's

  picture.LoadFromData(Bmp(32, true));
  bitmap = dynamic_cast<tk::Bitmap*>(picture.GetGraphic());
  EXPECT_TRUE(bitmap->HasAlpha());
  EXPECT_EQ(bitmap->Pixels().At(1, 1) >> 24, 0x80u);
  picture.LoadFromData(Bmp(32, false));  // all-zero alpha: an opaque old-style image
  EXPECT_FALSE(dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->HasAlpha());
  EXPECT_EQ(dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->Pixels().At(0, 0) >> 24, 0xFFu);

  auto cut = Bmp(24, false);
  cut.resize(cut.size() - 3);
  EXPECT_THROW(picture.LoadFromData(cut), std::runtime_error);
  auto eightBit = Bmp(24, false);
  eightBit[28] = 8;
  EXPECT_THROW(picture.LoadFromData(eightBit), std::runtime_error);
  EXPECT_THROW(picture.LoadFromData(std::vector<std::uint8_t>{'G', 'I', 'F', '8'}), std::runtime_error);
  EXPECT_THROW(picture.LoadFromResourceName("NO_SUCH_PICTURE"), std::runtime_error);
  EXPECT_EQ(picture.Width(), 2);  // a failed load keeps what was there

  // A copy is independent of the original; clearing empties.
  tk::Picture copy;
  copy.Assign(picture);
  picture.Clear();
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(copy.Width(), 2);
}

// An icon file with one 2 x 2 image of 24 bits and its AND mask hiding the top-right pixel.
std::vector<std::uint8_t> MaskedIcon() {
  std::vector<std::uint8_t> image;
  Put32(image, 40);
  Put32(image, 2);
  Put32(image, 4);  // twice the height: the mask follows the colours
  Put16(image, 1);
  Put16(image, 24);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  for (int row = 0; row < 2; ++row) image.insert(image.end(), {10, 20, 30, 40, 50, 60, 0, 0});
  image.insert(image.end(), {0, 0, 0, 0});        // bottom row: nothing hidden
  image.insert(image.end(), {0x40, 0, 0, 0});     // top row: the second pixel hidden
  std::vector<std::uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 1);
  file.insert(file.end(), {2, 2, 0, 0});
  Put16(file, 1);
  Put16(file, 24);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

TEST(Picture, IconsOfTwentyFourBitsTakeTheirMaskAsTransparency) {
  auto images = tk::DecodeIco(MaskedIcon());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].At(0, 0), 0xFF1E140Au);
  EXPECT_EQ(images[0].At(1, 0), 0u);  // hidden by the mask
  EXPECT_EQ(images[0].At(1, 1), 0xFF3C3228u);
  auto broken = MaskedIcon();
  broken[18] = 0xFF;  // the image's offset points past the end
  EXPECT_THROW(tk::DecodeIco(broken), std::runtime_error);
  auto empty = MaskedIcon();
  empty[4] = 0;  // no images
  EXPECT_THROW(tk::DecodeIco(empty), std::runtime_error);
}

// A run-coded picture of the given size: the magic, the size, then `codes`.
std::vector<std::uint8_t> RunCoded(int w, int h, std::vector<std::uint8_t> codes) {
  std::vector<std::uint8_t> file{'T', 'R', 'L', 'E'};
  Put16(file, static_cast<unsigned>(w));
  Put16(file, static_cast<unsigned>(h));
  file.insert(file.end(), codes.begin(), codes.end());
  return file;
}

TEST(Picture, RunCodedPicturesDecodeExactlyAndRefuseWhatDoesNotAddUp) {
  // 3 x 2: literal blue, red; the red repeated; then the row above copied.
  tk::Picture picture;
  picture.LoadFromData(RunCoded(3, 2, {0x01, 0xFF, 0, 0, 0, 0, 0xFF, 0x40, 0x82}));
  auto* bitmap = dynamic_cast<tk::Bitmap*>(picture.GetGraphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_FALSE(bitmap->HasAlpha());
  EXPECT_EQ(bitmap->Pixels().argb,
            (std::vector<std::uint32_t>{0xFF0000FF, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFFFF0000}));

  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(2, 1, {0x01, 1, 2, 3})), std::runtime_error);     // cut short
  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(2, 1, {0x80})), std::runtime_error);              // no row above
  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(2, 1, {0x40, 0x40})), std::runtime_error);        // nothing to repeat
  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(2, 1, {0x00, 1, 2, 3, 0x41})), std::runtime_error);  // past the end
  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(0, 1, {})), std::runtime_error);
  EXPECT_THROW(tk::DecodeRunCoded(RunCoded(2, 1, {})), std::runtime_error);
}

TEST(Picture, CarriedArtworkHasTheDrawnPixelsExactly) {
  artwork::Register();
  for (const char* name : {"logo", "banded", "editor"}) {
    std::ifstream in(std::string(TAVELIN_ARTWORK_DIR) + "/" + name + ".bmp", std::ios::binary);
    ASSERT_TRUE(in) << name;
    const std::vector<std::uint8_t> bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string resource = name;
    for (auto& c : resource) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    tk::Picture picture;
    picture.LoadFromResourceName(resource);
    EXPECT_EQ(dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->Pixels().argb, tk::DecodeBmp(bmp).pixels.argb) << name;
  }
}

TEST(Picture, FilesRoundTripAndTheArtworkHasItsSizes) {
  const std::string path = testing::TempDir() + "/picture-test.bmp";
  auto pixels = plat::Pixels::Of(3, 2, {1, 2, 3, 4, 5, 6});
  for (auto& p : pixels.argb) p |= 0xFF000000u;
  const auto data = tk::EncodeBmp24(pixels);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  tk::Picture picture;
  picture.LoadFromFile(path);
  EXPECT_EQ(dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->Pixels().argb, pixels.argb);
  std::remove(path.c_str());
  EXPECT_THROW(picture.LoadFromFile(path), std::runtime_error);

  artwork::Register();
  struct Expected {
    const char* name;
    int w, h;
  } sizes[] = {{artwork::kLogo, 254, 80}, {artwork::kBanded, 244, 99}, {artwork::kEditor, 455, 312}};
  for (auto& e : sizes) {
    picture.LoadFromResourceName(e.name);
    EXPECT_EQ(picture.Width(), e.w) << e.name;
    EXPECT_EQ(picture.Height(), e.h) << e.name;
    EXPECT_FALSE(dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->HasAlpha()) << e.name;
  }
  picture.LoadFromResourceName(artwork::kIcon);
  auto* icon = dynamic_cast<tk::IconGraphic*>(picture.GetGraphic());
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(icon->Images().size(), 3u);
  EXPECT_EQ(icon->Images()[0].width, 16);
  EXPECT_EQ(icon->Images()[2].width, 48);
  EXPECT_EQ(icon->ImageFor(20).width, 32);
  EXPECT_EQ(icon->ImageFor(100).width, 48);
  EXPECT_EQ(icon->Images()[2].At(0, 0) >> 24, 0u);  // see-through corner
  EXPECT_EQ(icon->Images()[2].At(24, 24) >> 24, 255u);
  EXPECT_TRUE(icon->Transparent());

  // The logo: see-through parts exactly white, and nothing that shows is.
  picture.LoadFromResourceName(artwork::kLogo);
  const auto& logo = dynamic_cast<tk::Bitmap*>(picture.GetGraphic())->Pixels();
  int white = 0;
  for (auto p : logo.argb) white += (p & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 254 * 80 / 3);
  EXPECT_LT(white, 254 * 80);
}

}  // namespace
