// ComCtrls: the tab control on the system class, its captions mirrored into the window.
#include "host/vcl/ComCtrls.h"

#include "host/os/OsSeam.h"

namespace kyt {

void InitCommonControl(DWORD icc) {
  static DWORD done = 0;
  if ((done & icc) == icc) return;
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), icc};
  if (!os::comctl32.InitCommonControlsEx(&init))
    throw EOutOfResources("Cannot initialise the common controls (error " +
                          std::to_string(os::kernel32.GetLastError()) + ")");
  done |= icc;
}

namespace {

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return os::user32.SendMessageA(window, msg, wParam, lParam);
}

void InsertTab(HWND window, int index, const std::string& caption) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(caption.c_str());
  if (Send(window, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) < 0)
    throw EOutOfResources("Cannot add the tab '" + caption + "'");
}

}  // namespace

// ------------------------------------------------------------------------------------ TTabStrings

void TTabStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error("List index out of bounds", index);
}

std::string TTabStrings::Get(int index) const {
  CheckIndex(index);
  return FTabs[static_cast<size_t>(index)];
}

void TTabStrings::Put(int index, const std::string& s) {
  CheckIndex(index);
  if (HWND window = FControl->FHandle) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(s.c_str());
    if (!Send(window, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
      throw EOutOfResources("Cannot change the tab '" + FTabs[static_cast<size_t>(index)] + "'");
  }
  FTabs[static_cast<size_t>(index)] = s;
}

void TTabStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) Error("List index out of bounds", index);
  if (HWND window = FControl->FHandle) InsertTab(window, index, s);
  FTabs.insert(FTabs.begin() + index, s);
}

void TTabStrings::Delete(int index) {
  CheckIndex(index);
  if (HWND window = FControl->FHandle) Send(window, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
  FTabs.erase(FTabs.begin() + index);
  if (!FControl->FHandle) FControl->TabsChanged();
}

void TTabStrings::Clear() {
  if (HWND window = FControl->FHandle) Send(window, TCM_DELETEALLITEMS, 0, 0);
  FTabs.clear();
  if (!FControl->ComponentState().Contains(csLoading)) FControl->FTabIndex = -1;
}

void TTabStrings::PutIntoWindow() const {
  HWND window = FControl->FHandle;
  Send(window, TCM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < FTabs.size(); ++i) InsertTab(window, static_cast<int>(i), FTabs[i]);
}

// ------------------------------------------------------------------------------------ TTabControl

TTabControl::TTabControl(TComponent* owner) : TWinControl(owner), FTabs(std::make_unique<TTabStrings>(this)) {
  UpdateBoundsCache(0, 0, 289, 193);
  SetTabStop(true);
}

TTabControl::~TTabControl() {
  // The window goes before the list its DestroyWnd reads.
  DestroyHandle();
}

void TTabControl::SetTabs(TStrings* value) { FTabs->Assign(value); }

int32_t TTabControl::TabIndex() const {
  return FHandle ? static_cast<int32_t>(Send(FHandle, TCM_GETCURSEL)) : FTabIndex;
}

void TTabControl::SetTabIndex(int32_t value) {
  // A form file may give the index before the tabs: it is checked once they are all read.
  if (ComponentState().Contains(csLoading)) {
    FTabIndex = value;
    return;
  }
  if (value < -1 || value >= FTabs->Count()) value = -1;
  FTabIndex = value;
  if (FHandle) Send(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TTabControl::Loaded() {
  TWinControl::Loaded();
  SetTabIndex(FTabIndex);
}

void TTabControl::SetMultiLine(bool value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  RecreateWnd();
}

void TTabControl::TabsChanged() {
  if (FTabIndex >= FTabs->Count()) FTabIndex = FTabs->Count() - 1;
}

RECT TTabControl::DisplayRect() const {
  RECT r = ClientRect();
  Send(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TTabControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = WC_TABCONTROLA;
  params.Style |= WS_CLIPCHILDREN | (FMultiLine ? TCS_MULTILINE : 0);
}

void TTabControl::CreateWnd() {
  InitCommonControl(ICC_TAB_CLASSES);
  TWinControl::CreateWnd();
}

void TTabControl::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  FTabs->PutIntoWindow();
  Send(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

void TTabControl::DestroyWnd() {
  FTabIndex = static_cast<int32_t>(Send(FHandle, TCM_GETCURSEL));
  TWinControl::DestroyWnd();
}

bool TTabControl::NotifyReflected(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case TCN_SELCHANGING: {
      bool allow = true;
      FOnChanging(this, allow);
      result = allow ? FALSE : TRUE;  // TRUE keeps the current tab
      return true;
    }
    case TCN_SELCHANGE:
      FTabIndex = static_cast<int32_t>(Send(FHandle, TCM_GETCURSEL));
      FOnChange(this);
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace kyt
