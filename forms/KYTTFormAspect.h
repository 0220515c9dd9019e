// KYTTFormAspect: keeps the owner form's width and height in a fixed ratio while it is sized
// with the mouse, and gives the maximised form a ratio of its own, for the client area or the
// whole window.
#ifndef KYT_FORMS_KYTTFORMASPECT_H
#define KYT_FORMS_KYTTFORMASPECT_H

#include <cstdint>

#include "framework/KYTTFormHook.h"
#include "host/core/ComponentRef.h"
#include "host/core/Events.h"
#include "host/rtl/Types.h"

namespace kyt {

// Lets the application change the frame sizes (X wide, Y high) before each computation.
using TKYTOnClientModified = TEvent<TObject*, int32_t&, int32_t&>;
// Lets the application change the window rectangle just computed.
using TKYTBeforeResizing = TEvent<TObject*, TRect&>;

class TKYTFormAspect : public TKYTHookComponent {
  KYT_CLASS(TKYTFormAspect, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTFormAspect>& p) {
    // Switches the ratio on; false lets the form be sized freely.
    p.Property("Enabled", &TKYTFormAspect::Enabled, &TKYTFormAspect::SetEnabled).Default(true);
    // The width part of the maximised form's ratio; 0 or below applies no ratio.
    p.Property("RatioWidth", &TKYTFormAspect::RatioWidth, &TKYTFormAspect::SetRatioWidth).Default(1);
    // The height part of the maximised form's ratio; 0 or below applies no ratio.
    p.Property("RatioHeight", &TKYTFormAspect::RatioHeight, &TKYTFormAspect::SetRatioHeight).Default(1);
    // Applies the ratio to the client area (true) or to the whole window with its frame (false).
    p.Property("Client", &TKYTFormAspect::Client, &TKYTFormAspect::SetClient).Default(true);
    // Lets the application change the frame sizes taken off before each computation.
    p.Property("OnClientModified", &TKYTFormAspect::OnClientModified, &TKYTFormAspect::SetOnClientModified);
    // Lets the application change the window rectangle just computed, before the form takes it.
    p.Property("BeforeResizing", &TKYTFormAspect::BeforeResizing, &TKYTFormAspect::SetBeforeResizing);
  }

  // Hooks the owner's window (in the designer too).
  explicit TKYTFormAspect(TComponent* AOwner);
  // Clears both events, then unhooks.
  ~TKYTFormAspect() override;

  // Properties
  // False: every message passes to the form untouched.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  // The ratio of the maximised form. A ratio of 0 or below is kept but not applied: the size
  // messages then pass on untouched.
  int32_t RatioWidth() const { return FRatioWidth; }
  void SetRatioWidth(int32_t value) { FRatioWidth = value; }
  int32_t RatioHeight() const { return FRatioHeight; }
  void SetRatioHeight(int32_t value) { FRatioHeight = value; }
  // True: the ratio applies to the client area (the owner must then be a TForm); false: to the
  // whole window. An owner that is not a form starts with false, and setting true on it raises
  // EInvalidCast.
  bool Client() const { return FClient; }
  void SetClient(bool value);

  // Events
  const TKYTOnClientModified& OnClientModified() const { return FOnClientModified; }
  void SetOnClientModified(const TKYTOnClientModified& value) { FOnClientModified = value; }
  const TKYTBeforeResizing& BeforeResizing() const { return FBeforeResizing; }
  void SetBeforeResizing(const TKYTBeforeResizing& value) { FBeforeResizing = value; }

  // Methods
  // Adjusts a proposed window rectangle of a sizing drag on edge (a WMSZ_ value) to the
  // built-in 40 : 42 ratio; other edges leave it as it is.
  virtual void EstablishAspectRatio(uint16_t Edge, TRect& R);

 protected:
  // Consumes WM_SIZING and WM_GETMINMAXINFO while enabled; passes on everything else.
  void Hooked(TMessage& Message) override;

 private:
  // The width and height the frame adds to the client area (0, 0 for the whole window), as
  // OnClientModified leaves them.
  void FrameSizes(int32_t& dx, int32_t& dy);
  // Stops where a handler freed the component (self is then null).
  void MaximisedSize(MINMAXINFO& info, const TComponentRef<TKYTFormAspect>& self);

  bool FEnabled = true;
  int32_t FRatioWidth = 1;
  int32_t FRatioHeight = 1;
  bool FClient = true;
  TKYTOnClientModified FOnClientModified;
  TKYTBeforeResizing FBeforeResizing;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTFORMASPECT_H
