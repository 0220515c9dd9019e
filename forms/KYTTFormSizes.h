// KYTTFormSizes: keeps the owner form's width and height between limits while it is sized, and
// in the form designer takes the form's size as the limits chosen in Options.
#ifndef KYT_FORMS_KYTTFORMSIZES_H
#define KYT_FORMS_KYTTFORMSIZES_H

#include <cstdint>

#include "framework/KYTTFormHook.h"
#include "host/core/Sets.h"

namespace kyt {

// Which limits take the form's size after each resize in the form designer.
enum TKYTFormSizeOption : uint8_t { MinimumWidth, MaximumWidth, MinimumHeight, MaximumHeight };
KYT_ENUM_INFO(TKYTFormSizeOption, "MinimumWidth", "MaximumWidth", "MinimumHeight", "MaximumHeight")
using TKYTFormSizeOptions = TSet<TKYTFormSizeOption>;

class TKYTFormSizes : public TKYTHookComponent {
  KYT_CLASS(TKYTFormSizes, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTFormSizes>& p) {
    // The narrowest the user can make the form, in pixels; 0 sets no limit.
    p.Property("MinWidth", &TKYTFormSizes::MinWidth, &TKYTFormSizes::SetMinWidth);
    // The widest the user can make the form, in pixels; 0 sets no limit.
    p.Property("MaxWidth", &TKYTFormSizes::MaxWidth, &TKYTFormSizes::SetMaxWidth);
    // The lowest the user can make the form, in pixels; 0 sets no limit.
    p.Property("MinHeight", &TKYTFormSizes::MinHeight, &TKYTFormSizes::SetMinHeight);
    // The tallest the user can make the form, in pixels; 0 sets no limit.
    p.Property("MaxHeight", &TKYTFormSizes::MaxHeight, &TKYTFormSizes::SetMaxHeight);
    // Which limits take the form's width or height each time the form is resized in the form
    // designer.
    p.Property("Options", &TKYTFormSizes::Options, &TKYTFormSizes::SetOptions);
  }

  using TKYTHookComponent::TKYTHookComponent;

  // Properties
  // Window sizes in pixels; 0 or below sets no limit.
  int32_t MinWidth() const { return FMinWidth; }
  void SetMinWidth(int32_t value) { FMinWidth = value; }
  int32_t MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int32_t value) { FMaxWidth = value; }
  int32_t MinHeight() const { return FMinHeight; }
  void SetMinHeight(int32_t value) { FMinHeight = value; }
  int32_t MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int32_t value) { FMaxHeight = value; }
  TKYTFormSizeOptions Options() const { return FOptions; }
  void SetOptions(TKYTFormSizeOptions value) { FOptions = value; }

 protected:
  // Lets the form answer first, then sets the limits over its answer (at run time) or takes the
  // form's size as the chosen limits (in the designer).
  void Hooked(TMessage& Message) override;

 private:
  // In the designer and busy with nothing else (loading, reading, writing, being destroyed or
  // updated); other flags, such as the host's free-notification one, do not count.
  bool ExactlyDesigning() const;
  void CaptureSize();
  void ApplyLimits(MINMAXINFO& info) const;

  int32_t FMinWidth = 0;
  int32_t FMaxWidth = 0;
  int32_t FMinHeight = 0;
  int32_t FMaxHeight = 0;
  TKYTFormSizeOptions FOptions;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTFORMSIZES_H
