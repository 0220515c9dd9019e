// KYTTWallPaper: sets the current user's desktop wallpaper, tiled or centred, and records the
// choice in the user's desktop settings.
#ifndef KYT_SYSTEM_KYTTWALLPAPER_H
#define KYT_SYSTEM_KYTTWALLPAPER_H

#include <cstddef>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"

namespace kyt {

// The desktop settings key (under HKEY_CURRENT_USER) and the path buffer the system is given.
inline constexpr const char* kKYTDesktopKey = "\\Control Panel\\desktop";
inline constexpr size_t kKYTWallPaperPathLength = 255;  // characters, without the terminating zero

class TKYTWallPaper : public TKYTExecuteComponent {
  KYT_CLASS(TKYTWallPaper, TKYTExecuteComponent)
 public:
  static void Publish(TPublisher<TKYTWallPaper>& p) {
    // Repeats the picture over the desktop (true) or shows it once in the middle.
    p.Property("Tiled", &TKYTWallPaper::Tiled, &TKYTWallPaper::SetTiled).Default(true);
    // The picture file Execute makes the wallpaper; at run time only an existing file is taken.
    p.Property("Filename", &TKYTWallPaper::Filename, &TKYTWallPaper::SetFilename)
        .StoredIf([](const TKYTWallPaper& c) { return !c.Filename().empty(); });
    // Fired by Execute just before the wallpaper is changed.
    p.Property("OnChange", &TKYTWallPaper::OnChange, &TKYTWallPaper::SetOnChange);
  }

  using TKYTExecuteComponent::TKYTExecuteComponent;

  // Properties
  // Repeat the picture over the desktop (true) or show it once.
  bool Tiled() const { return FTiled; }
  void SetTiled(bool value) { FTiled = value; }
  // The picture file. In the designer any name is taken; at run time (loading included) only
  // the name of an existing file, otherwise the previous name stays. A name longer than the
  // system's path buffer is refused in both, never cut (a cut path names another file).
  const std::string& Filename() const { return FFilename; }
  void SetFilename(const std::string& value);

  // Events
  // Raised by Execute just before the wallpaper is changed.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  // Methods
  // OnChange, then SetWallPaper(Filename, Tiled); the system call's result. The designer's
  // execute test changes the developer's own wallpaper.
  bool Execute() override;
  // Writes TileWallPaper ("1" or "0") to the desktop key, asks the system to show the file
  // (an empty name removes the wallpaper) and writes Wallpaper = the name. A desktop key that
  // cannot be opened is left alone. False when the system refused (TileWallPaper is then put
  // back) or the name is too long; a value that cannot be written raises ERegistryException.
  static bool SetWallPaper(const std::string& fileName, bool tiled);

 private:
  bool FTiled = true;
  std::string FFilename;
  TNotifyEvent FOnChange;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTWALLPAPER_H
