// The page in a real browser: headless Chromium loads it from a file and takes a screenshot.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "compiler/compile.h"
#include "render/scenario_pictures.h"
#include "testing/scratch_folder.h"
#include "testing/svg_reading.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  int channels = 0;
  std::vector<uint8_t> pixels;  // rows of width * channels bytes
};

uint32_t big_endian(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

int paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Decodes an 8-bit RGB or RGBA PNG without interlacing, as the browser writes its screenshots.
Image decode_png(const std::string& png) {
  Image image;
  if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return image;
  std::string compressed;
  for (size_t at = 8; at + 8 <= png.size();) {
    const uint32_t length = big_endian(png, at);
    const std::string type = png.substr(at + 4, 4);
    if (type == "IHDR") {
      image.width = big_endian(png, at + 8);
      image.height = big_endian(png, at + 12);
      const int depth = static_cast<uint8_t>(png[at + 16]);
      const int colour = static_cast<uint8_t>(png[at + 17]);
      const int interlace = static_cast<uint8_t>(png[at + 20]);
      if (depth != 8 || interlace != 0 || (colour != 2 && colour != 6)) return {};
      image.channels = colour == 2 ? 3 : 4;
    } else if (type == "IDAT") {
      compressed += png.substr(at + 8, length);
    }
    at += 12 + length;
  }
  const size_t stride = static_cast<size_t>(image.width) * static_cast<size_t>(image.channels);
  std::vector<uint8_t> raw((stride + 1) * image.height);
  uLongf raw_size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &raw_size, reinterpret_cast<const Bytef*>(compressed.data()),
                 static_cast<uLong>(compressed.size())) != Z_OK ||
      raw_size != raw.size()) {
    return {};
  }
  image.pixels.assign(stride * image.height, 0);
  for (size_t y = 0; y < image.height; ++y) {
    const uint8_t filter = raw[y * (stride + 1)];
    const uint8_t* in = &raw[y * (stride + 1) + 1];
    uint8_t* out = &image.pixels[y * stride];
    const uint8_t* up = y > 0 ? &image.pixels[(y - 1) * stride] : nullptr;
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<size_t>(image.channels)
                        ? out[i - static_cast<size_t>(image.channels)]
                        : 0;
      const int b = up ? up[i] : 0;
      const int c = up && i >= static_cast<size_t>(image.channels)
                        ? up[i - static_cast<size_t>(image.channels)]
                        : 0;
      int value = in[i];
      switch (filter) {
        case 1:
          value += a;
          break;
        case 2:
          value += b;
          break;
        case 3:
          value += (a + b) / 2;
          break;
        case 4:
          value += paeth(a, b, c);
          break;
        default:
          break;
      }
      out[i] = static_cast<uint8_t>(value);
    }
  }
  return image;
}

// The flags matter on a machine without a display, a session bus or a network.
std::string screenshot_command(const std::filesystem::path& folder,
                               const std::filesystem::path& page,
                               const std::filesystem::path& shot) {
  return "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
         "--disable-background-networking --disable-component-update --disable-sync "
         "--hide-scrollbars --user-data-dir='" +
         (folder / "browser-profile").string() + "' --window-size=1280,1000 --screenshot='" +
         shot.string() + "' 'file://" + page.string() + "' >'" + (folder / "browser.log").string() +
         "' 2>&1";
}

// The whole route, and a stretch of it drawn on its own.
class HtmlPageInABrowser : public ::testing::TestWithParam<std::optional<Stretch>> {};

TEST_P(HtmlPageInABrowser, TheBuiltInPageIsDrawn) {
  const testing::ScratchFolder scratch("browser");
  const auto& folder = scratch.path();
  Compilation c;
  c.RouteId = "Veltrano_Quarnelo";
  c.TrainNumber = "58316";
  MemoryTexts texts(emit_line_list(line_description_lines()),
                    emit_line_list(train_description_lines()));
  ASSERT_EQ(compile_scenario(c, texts, 1).end, CompileEnd::Sealed);
  const auto page = folder / "Veltrano_Quarnelo_58316.html";
  testing::write_file(page, draw_scenario(c, "Compiled without errors.", {}, GetParam()).page);
  const auto shot = folder / "shot.png";
  const int status = std::system(screenshot_command(folder, page, shot).c_str());
  ASSERT_EQ(status, 0) << "chromium failed; its output:\n"
                       << testing::read_file(folder / "browser.log");
  const Image image = decode_png(testing::read_file(shot));
  ASSERT_EQ(image.width, 1280u);
  ASSERT_EQ(image.height, 1000u);
  // Not blank: a good part of the window is drawn, and with the route's blue among the colours.
  size_t drawn = 0, dark = 0, route_blue = 0;
  const size_t pixels = static_cast<size_t>(image.width) * image.height;
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = &image.pixels[i * static_cast<size_t>(image.channels)];
    if (p[0] < 235 || p[1] < 235 || p[2] < 235) ++drawn;
    if (p[0] < 80 && p[1] < 80 && p[2] < 80) ++dark;
    if (std::abs(p[0] - 0x1f) < 24 && std::abs(p[1] - 0x5f) < 24 && std::abs(p[2] - 0xa8) < 24) {
      ++route_blue;
    }
  }
  EXPECT_GT(drawn, pixels / 50) << drawn << " drawn pixels";
  EXPECT_GT(dark, 500u) << "no text";
  EXPECT_GT(route_blue, 300u) << "no route drawn";
}

INSTANTIATE_TEST_SUITE_P(WholeAndStretch, HtmlPageInABrowser,
                         ::testing::Values(std::nullopt, Stretch{30000, 40000}));

}  // namespace
}  // namespace scengen
