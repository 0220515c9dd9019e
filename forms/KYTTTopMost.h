// KYTTTopMost: keeps the owner form in the desktop's top-most window layer while Active.
#ifndef KYT_FORMS_KYTTTOPMOST_H
#define KYT_FORMS_KYTTTOPMOST_H

#include "framework/KYTSystem.h"

namespace kyt {

class TKYTTopMost : public TKYTSystemsComponent {
  KYT_CLASS(TKYTTopMost, TKYTSystemsComponent)
 public:
  // No declared default: Active is always stored with the form.
  static void Publish(TPublisher<TKYTTopMost>& p) {
    // Keeps the owner form above all windows that are not top-most, even while another application
    // is active.
    p.Property("Active", &TKYTTopMost::Active, &TKYTTopMost::SetActive);
  }

  explicit TKYTTopMost(TComponent* AOwner);
  // Returns the form to the ordinary layer; a form without a window is left alone (asking for
  // its handle would create one while the form is going away).
  ~TKYTTopMost() override;

  // Properties
  bool Active() const { return FActive; }
  // Stores the value and, outside the designer, moves an owner form into or out of the top-most
  // layer without moving, sizing or activating it. Owners that are not forms only store it.
  void SetActive(bool value);

 protected:
  // Applies the stored Active once the form has been read.
  void Loaded() override;

 private:
  void ApplyLayer(bool topMost);

  bool FActive = true;
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTTOPMOST_H
