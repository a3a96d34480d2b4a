// Which pixels of a colour-keyed window's image stay on the screen.
#include <gtest/gtest.h>

#include "platform/linux/ColorKeyShape.h"

using namespace plat;

namespace {

struct Image {
  Image(cairo_format_t format, int w, int h) : surface(cairo_image_surface_create(format, w, h)), cr(cairo_create(surface)) {}
  ~Image() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  void Fill(double r, double g, double b, double a, int x, int y, int w, int h) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, r, g, b, a);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
  }
  cairo_surface_t* surface;
  cairo_t* cr;
};

bool Contains(const cairo_region_t* region, int x, int y) { return cairo_region_contains_point(region, x, y); }

TEST(ColorKeyShape, KeepsExactlyThePixelsThatAreNotTheKey) {
  const COLORREF key = RGB(255, 0, 255);
  Image image(CAIRO_FORMAT_RGB24, 40, 20);
  image.Fill(1, 0, 1, 1, 0, 0, 40, 20);
  image.Fill(0, 0, 0, 1, 5, 3, 10, 4);          // a black block
  image.Fill(1, 0, 254 / 255.0, 1, 39, 19, 1, 1);  // one pixel a shade off the key

  cairo_region_t* visible = gtk::RegionNotOfColor(image.surface, key);
  cairo_rectangle_int_t extents;
  cairo_region_get_extents(visible, &extents);
  EXPECT_EQ(extents.x, 5);
  EXPECT_EQ(extents.y, 3);
  EXPECT_EQ(extents.width, 35);
  EXPECT_EQ(extents.height, 17);
  EXPECT_TRUE(Contains(visible, 5, 3));
  EXPECT_TRUE(Contains(visible, 14, 6));
  EXPECT_FALSE(Contains(visible, 15, 6));
  EXPECT_FALSE(Contains(visible, 14, 7));
  EXPECT_FALSE(Contains(visible, 4, 3));
  EXPECT_TRUE(Contains(visible, 39, 19));
  EXPECT_FALSE(Contains(visible, 38, 19));
  EXPECT_FALSE(Contains(visible, 0, 0));
  cairo_region_destroy(visible);
}

TEST(ColorKeyShape, AnImageAllOfTheKeyLeavesNothingAndOneWithoutItEverything) {
  Image white(CAIRO_FORMAT_RGB24, 258, 81);
  white.Fill(1, 1, 1, 1, 0, 0, 258, 81);
  cairo_region_t* none = gtk::RegionNotOfColor(white.surface, RGB(255, 255, 255));
  EXPECT_TRUE(cairo_region_is_empty(none));
  cairo_region_destroy(none);

  cairo_region_t* all = gtk::RegionNotOfColor(white.surface, RGB(254, 255, 255));
  cairo_rectangle_int_t whole{0, 0, 258, 81};
  EXPECT_EQ(cairo_region_contains_rectangle(all, &whole), CAIRO_REGION_OVERLAP_IN);
  EXPECT_EQ(cairo_region_num_rectangles(all), 1);
  cairo_region_destroy(all);

  Image empty(CAIRO_FORMAT_RGB24, 0, 0);
  cairo_region_t* nothing = gtk::RegionNotOfColor(empty.surface, RGB(0, 0, 0));
  EXPECT_TRUE(cairo_region_is_empty(nothing));
  cairo_region_destroy(nothing);
}

TEST(ColorKeyShape, OnlyOpaquePixelsMatchTheKeyInAnImageWithAlpha) {
  Image image(CAIRO_FORMAT_ARGB32, 4, 1);
  image.Fill(0, 0, 0, 1, 0, 0, 1, 1);    // opaque black: the key
  image.Fill(0, 0, 0, 0.5, 1, 0, 1, 1);  // half-transparent black: not the key
  image.Fill(0, 0, 0, 0, 2, 0, 1, 1);    // nothing drawn: not the key
  image.Fill(0, 0, 0, 1, 3, 0, 1, 1);
  cairo_region_t* visible = gtk::RegionNotOfColor(image.surface, RGB(0, 0, 0));
  EXPECT_FALSE(Contains(visible, 0, 0));
  EXPECT_TRUE(Contains(visible, 1, 0));
  EXPECT_TRUE(Contains(visible, 2, 0));
  EXPECT_FALSE(Contains(visible, 3, 0));
  cairo_region_destroy(visible);
}

}  // namespace
