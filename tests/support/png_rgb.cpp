#include "support/png_rgb.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

bool UpdatingReferences() {
  const char* update = std::getenv("TORVANE_UPDATE_REFERENCES");
  return update && *update && std::strcmp(update, "0") != 0;
}

std::vector<uint8_t> Rgb565ToRgb(const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> rgb;
  rgb.reserve(pixels.size() * 3);
  for (uint16_t p : pixels) {
    uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    rgb.push_back(static_cast<uint8_t>(r << 3 | r >> 2));
    rgb.push_back(static_cast<uint8_t>(g << 2 | g >> 4));
    rgb.push_back(static_cast<uint8_t>(b << 3 | b >> 2));
  }
  return rgb;
}

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t w, int32_t h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool ReadPng(const std::string& path, std::vector<uint8_t>* rgb, uint32_t* w, uint32_t* h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(image));
  *w = image.width;
  *h = image.height;
  return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

std::string MatchReferencePicture(const std::vector<uint8_t>& rgb, int32_t w, int32_t h, const std::string& reference,
                                  const std::string& actual) {
  if (rgb.size() != static_cast<size_t>(w) * h * 3) return "the drawn picture has the wrong size";
  if (UpdatingReferences()) return WritePng(reference, rgb, w, h) ? "" : "cannot write " + reference;
  std::vector<uint8_t> stored;
  uint32_t sw = 0, sh = 0;
  if (!ReadPng(reference, &stored, &sw, &sh)) return "cannot read " + reference;
  if (sw != static_cast<uint32_t>(w) || sh != static_cast<uint32_t>(h))
    return reference + " is " + std::to_string(sw) + " x " + std::to_string(sh);
  size_t differing = 0, first = rgb.size();
  for (size_t i = 0; i < rgb.size(); i += 3)
    if (rgb[i] != stored[i] || rgb[i + 1] != stored[i + 1] || rgb[i + 2] != stored[i + 2]) {
      ++differing;
      if (first == rgb.size()) first = i / 3;
    }
  if (!differing) return "";
  WritePng(actual, rgb, w, h);
  return std::to_string(differing) + " pixels differ, the first at " + std::to_string(first % w) + "," +
         std::to_string(first / w) + "; drawn: " + actual;
}
