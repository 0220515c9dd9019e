// KYTTWallPaper: the desktop wallpaper through SystemParametersInfo and the desktop key.
#include "system/KYTTWallPaper.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/rtl/Registry.h"
#include "host/rtl/SysUtils.h"
#include "host/rtl/WideText.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTWallPaper::StaticClass());
  return true;
}();

// Writes one text value to the desktop key; nothing when the key cannot be opened.
void WriteDesktopValue(const std::string& name, const std::string& value) {
  TRegistry registry;
  if (registry.OpenKey(kKYTDesktopKey, false)) registry.WriteString(name, value);
}
}  // namespace

void TKYTWallPaper::SetFilename(const std::string& value) {
  if (WideLength(value) > kKYTWallPaperPathLength) return;
  if (ComponentState().Contains(csDesigning) || FileExists(value)) FFilename = value;
}

bool TKYTWallPaper::Execute() {
  TComponentRef<TKYTWallPaper> self(this);
  FOnChange(this);
  if (!self) return false;
  return SetWallPaper(FFilename, FTiled);
}

bool TKYTWallPaper::SetWallPaper(const std::string& fileName, bool tiled) {
  if (WideLength(fileName) > kKYTWallPaperPathLength) return false;
  // Written first, so that the change already shows the picture the chosen way.
  WriteDesktopValue("TileWallPaper", tiled ? "1" : "0");
  std::array<char, kKYTWallPaperPathLength * kMaxBytesPerChar + 1> path{};
  std::memcpy(path.data(), fileName.data(), std::min(fileName.size(), path.size() - 1));
  const bool shown = os::user32.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 1, path.data(),
                                                      SPIF_UPDATEINIFILE) != FALSE;
  WriteDesktopValue("Wallpaper", fileName);
  return shown;
}

}  // namespace kyt
