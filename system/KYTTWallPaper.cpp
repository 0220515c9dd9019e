// KYTTWallPaper: the desktop wallpaper through SystemParametersInfo and the desktop key.
#include "system/KYTTWallPaper.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

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
  // A zero inside the name would hand the system another, shorter one.
  if (WideLength(fileName) > kKYTWallPaperPathLength || fileName.find('\0') != std::string::npos) return false;
  // Both desktop values change with the picture or neither does. A key that cannot be opened is
  // left alone (the system is still asked).
  TRegistry desktop;
  const bool keyOpen = desktop.OpenKey(kKYTDesktopKey, false);
  std::optional<TRegistry::TRawValue> tiling;
  if (keyOpen) {
    tiling = desktop.ReadRawValue("TileWallPaper");
    // Written first, so that the change already shows the picture the chosen way.
    desktop.WriteString("TileWallPaper", tiled ? "1" : "0");
  }
  std::array<char, kKYTWallPaperPathLength * kMaxBytesPerChar + 1> path{};
  std::memcpy(path.data(), fileName.data(), std::min(fileName.size(), path.size() - 1));
  const bool shown = os::user32.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 1, path.data(),
                                                      SPIF_UPDATEINIFILE) != FALSE;
  if (!keyOpen) return shown;
  // A refusal leaves the settings as the desktop still shows them.
  if (!shown) {
    desktop.RestoreValue("TileWallPaper", tiling);
    return false;
  }
  desktop.WriteString("Wallpaper", fileName);
  return true;
}

}  // namespace kyt
