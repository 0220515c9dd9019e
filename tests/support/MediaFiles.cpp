// MediaFiles.cpp: RIFF wave and BMP writers.
#include "tests/support/MediaFiles.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace kyt {

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}
}  // namespace

bool WriteWaveFile(const std::string& path, int milliseconds) {
  constexpr uint32_t kRate = 8000;
  const uint32_t samples = kRate * static_cast<uint32_t>(milliseconds) / 1000;
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 36 + samples);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);      // PCM
  Put16(out, 1);      // mono
  Put32(out, kRate);  // samples per second
  Put32(out, kRate);  // bytes per second
  Put16(out, 1);      // block align
  Put16(out, 8);      // bits per sample
  PutTag(out, "data");
  Put32(out, samples);
  for (uint32_t i = 0; i < samples; ++i) out.push_back((i / 8) % 2 ? 0xA0 : 0x60);  // a 500 Hz square wave
  return Save(path, out);
}

bool WriteBitmapFile(const std::string& path, int width, int height) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + pixelBytes);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, pixelBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out.push_back(0x40);  // blue
      out.push_back(0x80);  // green
      out.push_back(0xC0);  // red
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return Save(path, out);
}

}  // namespace kyt
