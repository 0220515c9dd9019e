// Graphics: fonts and icons, the two graphic objects the runtime and its components use,
// plus colour conversion for the platform.
#ifndef KYT_HOST_VCL_GRAPHICS_H
#define KYT_HOST_VCL_GRAPHICS_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/Persistent.h"
#include "host/core/Sets.h"
#include "host/core/TypeInfo.h"
#include "host/os/Handles.h"
#include "host/os/Win.h"

namespace kyt {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
KYT_ENUM_INFO(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
KYT_ENUM_INFO(TFontPitch, "fpDefault", "fpVariable", "fpFixed")

// The platform colour of a TColor: system colours (clBtnFace, ...) are looked up.
COLORREF ColorToRGB(TColor color);

// Screen resolution used to turn point sizes into pixel heights (96 unless the display differs).
int ScreenPixelsPerInch();

// A logical font: name, size (points) or height (pixels), style, pitch and colour. The handle is
// made on first use and remade after a change.
class TFont : public TPersistent {
  KYT_CLASS(TFont, TPersistent)
 public:
  static void Publish(TPublisher<TFont>& p) {
    p.Property("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText);
    p.Property("Height", &TFont::Height, &TFont::SetHeight);
    p.Property("Name", &TFont::Name, &TFont::SetName);
    p.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    p.Property("Size", &TFont::Size, &TFont::SetSize).Stored(TStored::Never);
    p.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
  }

  // "MS Sans Serif", 8 points, no style, clWindowText.
  TFont();
  ~TFont() override;

  // Properties
  const std::string& Name() const { return FName; }
  void SetName(const std::string& value);
  // Points; derived from Height at ScreenPixelsPerInch.
  int32_t Size() const;
  void SetSize(int32_t value);
  // Pixels; negative values are character heights (the usual form), positive cell heights.
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);

  // Lent handle, owned by the font; valid until the next change or the font's destruction.
  HFONT Handle() const;
  // Describes the font as a LOGFONTA (what Handle() is created from).
  LOGFONTA LogFont() const;

  // Events
  // Called after every change of a property.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  // Methods
  void Assign(const TPersistent* source) override;
  bool SameAs(const TFont& other) const;

 private:
  void Changed();

  std::string FName;
  int32_t FHeight;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  TColor FColor = clWindowText;
  mutable os::UniqueHFont FHandle;
  TNotifyEvent FOnChange;
};

// An icon image. Empty, or holding one icon handle it owns. Streamed as the bytes of an .ico
// file (the Data property, a binary value in form files).
class TIcon : public TPersistent {
  KYT_CLASS(TIcon, TPersistent)
 public:
  static void Publish(TPublisher<TIcon>& p) {
    p.Property("Data", &TIcon::Data, &TIcon::SetData);
  }

  TIcon();
  ~TIcon() override;

  // Properties
  bool Empty() const { return !FHandle; }
  // Lent handle (null when empty); the icon keeps owning it.
  HICON Handle() const { return FHandle.get(); }
  // Takes ownership of icon (null empties the icon).
  void SetHandle(HICON icon);
  // Hands the handle over to the caller; the icon becomes empty.
  os::UniqueHIcon ReleaseHandle();
  int32_t Width() const;
  int32_t Height() const;

  // The image as an .ico file (empty when the icon is empty). An icon read from data or a file
  // gives back the same bytes; one made from a handle is encoded as a 32-bit image.
  std::vector<uint8_t> Data() const;
  // Loads .ico file bytes (the entry closest to the system icon size); empty data empties the
  // icon. Raises EInvalidGraphic (an Exception) for bytes that are not an icon.
  void SetData(const std::vector<uint8_t>& value);

  // Methods
  // Copies another icon's image (a copy of its handle); null or an empty icon empties this one.
  void Assign(const TPersistent* source) override;
  // Loads a RT_GROUP_ICON resource by name or id from module (null: the executable). Raises
  // EResNotFound when there is no such resource.
  void LoadFromResourceName(HINSTANCE module, const std::string& name);
  void LoadFromResourceID(HINSTANCE module, int id);
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  // Events
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

 private:
  void Changed();

  os::UniqueHIcon FHandle;
  std::vector<uint8_t> FData;  // original .ico bytes when known
  TNotifyEvent FOnChange;
};

// An image that cannot be read.
class EInvalidGraphic : public Exception { using Exception::Exception; };
// A resource that does not exist.
class EResNotFound : public Exception { using Exception::Exception; };

}  // namespace kyt

#endif  // KYT_HOST_VCL_GRAPHICS_H
