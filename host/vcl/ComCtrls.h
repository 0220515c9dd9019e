// ComCtrls: the common controls of comctl32 the runtime wraps: TTabControl, a row of tabs on the
// system tab class. The common controls are initialised once, when the first such window is made.
#ifndef KYT_HOST_VCL_COMCTRLS_H
#define KYT_HOST_VCL_COMCTRLS_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"
#include "host/vcl/Controls.h"

namespace kyt {

// Registers the common control classes of icc (ICC_TAB_CLASSES, ...) once per process and class
// group; raises EOutOfResources when the platform refuses.
void InitCommonControl(DWORD icc);

// A handler that sets allowChange to false keeps the current tab.
using TTabChangingEvent = TEvent<TObject*, bool&>;

class TTabControl;

// The tab captions of a tab control. The list holds them and the window shows them, so they
// survive the window; every change goes to the window at once.
class TTabStrings : public TStrings {
  KYT_CLASS(TTabStrings, TStrings)
 public:
  explicit TTabStrings(TTabControl* control) : FControl(control) {}
  std::string Get(int index) const override;
  int Count() const override { return static_cast<int>(FTabs.size()); }
  void Put(int index, const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  // Puts every tab into a new window.
  void PutIntoWindow() const;

 private:
  void CheckIndex(int index) const;
  TTabControl* FControl;
  std::vector<std::string> FTabs;
};

// A row of tabs (the system's "SysTabControl32"). Clicking a tab asks OnChanging, selects it and
// runs OnChange.
class TTabControl : public TWinControl {
  KYT_CLASS(TTabControl, TWinControl)
 public:
  static void Publish(TPublisher<TTabControl>& p) {
    p.Property("MultiLine", &TTabControl::MultiLine, &TTabControl::SetMultiLine).Default(false);
    p.Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
    p.Property("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
    p.Property("OnChange", &TTabControl::OnChange, &TTabControl::SetOnChange);
    p.Property("OnChanging", &TTabControl::OnChanging, &TTabControl::SetOnChanging);
  }

  explicit TTabControl(TComponent* owner);
  ~TTabControl() override;

  // Properties
  TStrings* Tabs() const { return FTabs.get(); }
  // Copies the captions.
  void SetTabs(TStrings* value);
  // The selected tab, -1 for none. Setting it from code runs neither event.
  int32_t TabIndex() const;
  void SetTabIndex(int32_t value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);

  // Events
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  const TTabChangingEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TTabChangingEvent& value) { FOnChanging = value; }

  // Methods
  // The area below the tabs, in the control's client coordinates.
  RECT DisplayRect() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void Loaded() override;
  bool NotifyReflected(NMHDR& header, LRESULT& result) override;
  bool DefaultTabStop() const override { return true; }

 private:
  friend class TTabStrings;
  // A tab left the list: the selection moves as the window moved it.
  void TabsChanged();

  std::unique_ptr<TTabStrings> FTabs;
  int32_t FTabIndex = -1;  // while there is no window
  bool FMultiLine = false;
  TNotifyEvent FOnChange;
  TTabChangingEvent FOnChanging;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_COMCTRLS_H
