// StdCtrls: the standard controls on their system window classes, with the state that lives
// in the window (edit text, combo items) saved when the window goes and put back when it returns.
#include "host/vcl/StdCtrls.h"

#include "host/os/OsSeam.h"

namespace kyt {

namespace {

std::string WindowText(HWND window) {
  const int n = os::user32.GetWindowTextLengthA(window);
  if (n <= 0) return {};
  std::string text(static_cast<size_t>(n) + 1, '\0');
  const int got = os::user32.GetWindowTextA(window, text.data(), n + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return os::user32.SendMessageA(window, msg, wParam, lParam);
}

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ---------------------------------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* owner) : TWinControl(owner) { UpdateBoundsCache(0, 0, 65, 13); }

TLabel::~TLabel() = default;

void TLabel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "Static";
  params.Style |= FAlignment == taCenter ? SS_CENTER : FAlignment == taRightJustify ? SS_RIGHT : SS_LEFT;
  if (!FWordWrap && FAlignment == taLeftJustify) params.Style = (params.Style & ~static_cast<DWORD>(SS_LEFT)) | SS_LEFTNOWORDWRAP;
  if (!FShowAccelChar) params.Style |= SS_NOPREFIX;
  params.Style |= SS_NOTIFY;
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* value) {
  if (value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  RecreateWnd();
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
  AdjustBounds();
}

char TLabel::Accelerator() const { return FShowAccelChar ? AcceleratorChar(FCaption) : 0; }

void TLabel::TextChanged() {
  TWinControl::TextChanged();
  AdjustBounds();
}

void TLabel::FontChanged() {
  TWinControl::FontChanged();
  AdjustBounds();
}

void TLabel::ParentFontChanged() { TWinControl::ParentFontChanged(); }

void TLabel::Loaded() {
  TWinControl::Loaded();
  AdjustBounds();
}

// Measures the caption in the label's font (a blank caption measures as one space).
void TLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  HDC dc = os::user32.GetDC(nullptr);
  if (!dc) return;
  HGDIOBJ old = os::gdi32.SelectObject(dc, Font()->Handle());
  RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | (FShowAccelChar ? 0 : DT_NOPREFIX);
  const std::string text = FCaption.empty() ? std::string(" ") : FCaption;
  os::user32.DrawTextA(dc, text.c_str(), -1, &r, flags);
  os::gdi32.SelectObject(dc, old);
  os::user32.ReleaseDC(nullptr, dc);
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TLabel::WndProc(TMessage& message) {
  if (message.Msg == WM_LBUTTONUP) Click();
  TWinControl::WndProc(message);
}

bool TLabel::ControlColor(HDC dc, LRESULT& brush) {
  os::gdi32.SetTextColor(dc, ColorToRGB(Font()->Color()));
  os::gdi32.SetBkColor(dc, ColorToRGB(Color()));
  brush = reinterpret_cast<LRESULT>(ColorBrush());
  return true;
}

// ------------------------------------------------------------------------------------ TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  UpdateBoundsCache(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "Edit";
  params.Style |= FReadOnly ? ES_READONLY : 0;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  Send(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::DestroyWnd() {
  FCaption = WindowText(FHandle);
  TWinControl::DestroyWnd();
}

std::string TCustomEdit::Caption() const { return FHandle ? WindowText(FHandle) : FCaption; }

void TCustomEdit::SetMaxLength(int32_t value) {
  if (value < 0) value = 0;
  FMaxLength = value;
  if (FHandle) Send(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (FHandle) Send(FHandle, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

int32_t TCustomEdit::SelStart() const {
  DWORD start = 0;
  if (FHandle) Send(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int32_t>(start);
}

int32_t TCustomEdit::SelLength() const {
  DWORD start = 0, end = 0;
  if (FHandle) Send(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int32_t>(end - start);
}

void TCustomEdit::SelectAll() { Send(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::CommandNotify(UINT code) {
  if (code == EN_CHANGE) {
    if (FHandle) FCaption = WindowText(FHandle);
    FOnChange(this);
  }
}

bool TCustomEdit::ControlColor(HDC dc, LRESULT& brush) {
  os::gdi32.SetTextColor(dc, ColorToRGB(Font()->Color()));
  os::gdi32.SetBkColor(dc, ColorToRGB(Color()));
  brush = reinterpret_cast<LRESULT>(ColorBrush());
  return true;
}

void TEdit::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_AUTOHSCROLL;
}

// ------------------------------------------------------------------------------------------ TMemo

namespace {

// Lines as TStrings::SetText reads them: breaks are CR LF, LF or CR; a final break ends the last
// line rather than starting an empty one.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace

std::vector<std::string> TMemoStrings::Lines() const { return SplitLines(FMemo->Caption()); }

void TMemoStrings::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  FMemo->SetCaption(text);
}

std::string TMemoStrings::Get(int index) const {
  const std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  return lines[static_cast<size_t>(index)];
}

int TMemoStrings::Count() const { return static_cast<int>(Lines().size()); }

void TMemoStrings::Put(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines[static_cast<size_t>(index)] = s;
  SetLines(lines);
}

void TMemoStrings::Insert(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index > static_cast<int>(lines.size())) IndexError(index);
  // A line may itself hold breaks; it then becomes several.
  const std::vector<std::string> parts = s.empty() ? std::vector<std::string>{std::string()} : SplitLines(s);
  lines.insert(lines.begin() + index, parts.begin(), parts.end());
  SetLines(lines);
}

void TMemoStrings::Delete(int index) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines.erase(lines.begin() + index);
  SetLines(lines);
}

void TMemoStrings::Clear() { FMemo->SetCaption(std::string()); }

std::string TMemoStrings::Text() const {
  std::string text;
  for (const std::string& line : Lines()) text += line + "\r\n";
  return text;
}

void TMemoStrings::SetText(const std::string& text) { SetLines(SplitLines(text)); }

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TMemoStrings>(this)) {
  UpdateBoundsCache(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

void TMemo::SetLines(TStrings* value) { FLines->Assign(value); }

void TMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (FWantReturns) params.Style |= ES_WANTRETURN;
  if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) params.Style |= WS_HSCROLL;
  params.Style |= FAlignment == taCenter ? ES_CENTER : FAlignment == taRightJustify ? ES_RIGHT : ES_LEFT;
}

void TMemo::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

void TMemo::SetWantReturns(bool value) {
  if (value == FWantReturns) return;
  FWantReturns = value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

// --------------------------------------------------------------------------------- TControlItems

LRESULT TControlItems::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return os::user32.SendMessageA(FControl->Handle(), msg, wParam, lParam);
}

std::string TControlItems::Get(int index) const {
  const LRESULT len = Send(FMessages.GetTextLen, static_cast<WPARAM>(index));
  if (len < 0) IndexError(index);
  std::string text(static_cast<size_t>(len) + 1, '\0');
  const LRESULT got = Send(FMessages.GetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

int TControlItems::Count() const { return static_cast<int>(Send(FMessages.GetCount)); }

TObject* TControlItems::Objects(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return reinterpret_cast<TObject*>(Send(FMessages.GetItemData, static_cast<WPARAM>(index)));
}

void TControlItems::PutObject(int index, TObject* object) {
  if (Send(FMessages.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object)) < 0) IndexError(index);
}

int TControlItems::Add(const std::string& s) {
  const LRESULT index = Send(FMessages.AddString, 0, reinterpret_cast<LPARAM>(s.c_str()));
  if (index < 0) throw EOutOfResources("Cannot add an item to the " + FControl->ClassName());
  return static_cast<int>(index);
}

void TControlItems::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) IndexError(index);
  if (Send(FMessages.InsertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str())) < 0)
    throw EOutOfResources("Cannot insert an item into the " + FControl->ClassName());
}

void TControlItems::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  Send(FMessages.DeleteString, static_cast<WPARAM>(index));
}

void TControlItems::Clear() { Send(FMessages.ResetContent); }

int TControlItems::IndexOf(const std::string& s) const {
  const LRESULT index = Send(FMessages.FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

int TControlItems::ItemIndex() const {
  if (!FControl->HandleAllocated()) return FSavedItemIndex;
  return static_cast<int>(Send(FMessages.GetCurSel));
}

void TControlItems::SetItemIndex(int index) { Send(FMessages.SetCurSel, static_cast<WPARAM>(index)); }

void TControlItems::KeepWhileWindowGoes() {
  FSavedItems.clear();
  FSavedObjects.clear();
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    FSavedItems.push_back(Get(i));
    FSavedObjects.push_back(reinterpret_cast<TObject*>(Send(FMessages.GetItemData, static_cast<WPARAM>(i))));
  }
  FSavedItemIndex = static_cast<int>(Send(FMessages.GetCurSel));
}

void TControlItems::PutBackIntoWindow() {
  for (size_t i = 0; i < FSavedItems.size(); ++i) {
    const LRESULT index = Send(FMessages.AddString, 0, reinterpret_cast<LPARAM>(FSavedItems[i].c_str()));
    if (index >= 0) Send(FMessages.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(FSavedObjects[i]));
  }
  FSavedItems.clear();
  FSavedObjects.clear();
  if (FSavedItemIndex >= 0) Send(FMessages.SetCurSel, static_cast<WPARAM>(FSavedItemIndex));
  FSavedItemIndex = -1;
}

// ------------------------------------------------------------------------------ TComboBoxStrings

namespace {
const TItemMessages kComboBoxMessages{CB_GETLBTEXTLEN, CB_GETLBTEXT,      CB_GETCOUNT,     CB_GETITEMDATA,
                                      CB_SETITEMDATA,  CB_ADDSTRING,      CB_INSERTSTRING, CB_DELETESTRING,
                                      CB_RESETCONTENT, CB_FINDSTRINGEXACT, CB_GETCURSEL,   CB_SETCURSEL};
const TItemMessages kListBoxMessages{LB_GETTEXTLEN,   LB_GETTEXT,         LB_GETCOUNT,     LB_GETITEMDATA,
                                     LB_SETITEMDATA,  LB_ADDSTRING,       LB_INSERTSTRING, LB_DELETESTRING,
                                     LB_RESETCONTENT, LB_FINDSTRINGEXACT, LB_GETCURSEL,    LB_SETCURSEL};
}  // namespace

TComboBoxStrings::TComboBoxStrings(TComboBox* comboBox) : TControlItems(comboBox, kComboBoxMessages), FComboBox(comboBox) {}

void TComboBoxStrings::Clear() {
  HWND h = FComboBox->Handle();
  const std::string text = WindowText(h);
  TControlItems::Clear();
  if (FComboBox->Style() != csDropDownList) os::user32.SetWindowTextA(h, text.c_str());
}

// ------------------------------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), FItems(std::make_unique<TComboBoxStrings>(this)) {
  UpdateBoundsCache(0, 0, 145, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

TComboBox::~TComboBox() { DestroyHandle(); }

void TComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "ComboBox";
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (FStyle) {
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
    default: params.Style |= CBS_DROPDOWN; break;
  }
  if (FSorted) params.Style |= CBS_SORT;
  if (FStyle != csSimple) params.Height += DropDownHeight();
}

int TComboBox::DropDownHeight() const { return FDropDownCount * 16 + 2; }

void TComboBox::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  FItems->PutBackIntoWindow();
  Send(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FStyle != csDropDownList) os::user32.SetWindowTextA(FHandle, FCaption.c_str());
  if (FSavedSelectAll) Send(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  FSavedSelectAll = false;
}

void TComboBox::DestroyWnd() {
  FItems->KeepWhileWindowGoes();
  FCaption = WindowText(FHandle);
  TWinControl::DestroyWnd();
}

std::string TComboBox::Caption() const { return FHandle ? WindowText(FHandle) : FCaption; }

void TComboBox::SetCaption(const std::string& value) {
  FCaption = value;
  if (FHandle) {
    if (FStyle == csDropDownList) {
      const LRESULT index = Send(FHandle, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
      Send(FHandle, CB_SETCURSEL, static_cast<WPARAM>(index == CB_ERR ? -1 : index), 0);
    } else {
      os::user32.SetWindowTextA(FHandle, value.c_str());
    }
  }
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  RecreateWnd();
}

void TComboBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  RecreateWnd();  // the items are added again, sorted by the control
}

void TComboBox::SetMaxLength(int32_t value) {
  if (value < 0) value = 0;
  FMaxLength = value;
  if (FHandle) Send(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TComboBox::SetDropDownCount(int32_t value) {
  if (value < 1) value = 1;
  FDropDownCount = value;
  if (FHandle && FStyle != csSimple)
    os::user32.SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight + DropDownHeight(),
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetItems(TStrings* value) { FItems->Assign(value); }

int32_t TComboBox::ItemIndex() const { return FItems->ItemIndex(); }

void TComboBox::SetItemIndex(int32_t value) {
  FItems->SetItemIndex(value);
  FCaption = WindowText(Handle());
}

bool TComboBox::DroppedDown() const { return FHandle && Send(FHandle, CB_GETDROPPEDSTATE) != 0; }

void TComboBox::SetDroppedDown(bool value) { Send(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0); }

void TComboBox::SelectAll() {
  if (FHandle) Send(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  else FSavedSelectAll = true;
}

void TComboBox::Clear() {
  FItems->Clear();
  SetCaption(std::string());
}

void TComboBox::CommandNotify(UINT code) {
  if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
    if (code == CBN_SELCHANGE) {
      const LRESULT index = Send(FHandle, CB_GETCURSEL);
      FCaption = index >= 0 ? FItems->Get(static_cast<int>(index)) : WindowText(FHandle);
    } else {
      FCaption = WindowText(FHandle);
    }
    FOnChange(this);
  }
}

void TComboBox::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  UpdateBoundsCache(left, top, width, height);
  if (FHandle) {
    const int total = height + (FStyle != csSimple ? DropDownHeight() : 0);
    os::user32.SetWindowPos(FHandle, nullptr, left, top, width, total, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TComboBox::UpdateBoundsFromWindow() {
  if (!FHandle) return;
  RECT r{};
  os::user32.GetWindowRect(FHandle, &r);  // the closed box: the list is not part of it
  HWND parent = os::user32.GetParent(FHandle);
  if (parent) os::user32.MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  UpdateBoundsCache(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TComboBox::ControlColor(HDC dc, LRESULT& brush) {
  os::gdi32.SetTextColor(dc, ColorToRGB(Font()->Color()));
  os::gdi32.SetBkColor(dc, ColorToRGB(Color()));
  brush = reinterpret_cast<LRESULT>(ColorBrush());
  return true;
}

// -------------------------------------------------------------------------------------- TListBox

TListBoxStrings::TListBoxStrings(TListBox* listBox) : TControlItems(listBox, kListBoxMessages) {}

TListBox::TListBox(TComponent* owner) : TWinControl(owner), FItems(std::make_unique<TListBoxStrings>(this)) {
  UpdateBoundsCache(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
}

TListBox::~TListBox() { DestroyHandle(); }

void TListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "ListBox";
  // Exactly the height asked for: the control would otherwise shrink to whole lines.
  params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (FSorted) params.Style |= LBS_SORT;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  FItems->PutBackIntoWindow();
}

void TListBox::DestroyWnd() {
  FItems->KeepWhileWindowGoes();
  TWinControl::DestroyWnd();
}

void TListBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  RecreateWnd();  // the items are added again, sorted by the control
}

void TListBox::SetItems(TStrings* value) { FItems->Assign(value); }

int32_t TListBox::ItemHeight() { return static_cast<int32_t>(Send(Handle(), LB_GETITEMHEIGHT)); }

int32_t TListBox::TopIndex() { return static_cast<int32_t>(Send(Handle(), LB_GETTOPINDEX)); }

void TListBox::SetTopIndex(int32_t value) { Send(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(value)); }

void TListBox::CommandNotify(UINT code) {
  if (code == LBN_SELCHANGE) Click();
}

bool TListBox::ControlColor(HDC dc, LRESULT& brush) {
  os::gdi32.SetTextColor(dc, ColorToRGB(Font()->Color()));
  os::gdi32.SetBkColor(dc, ColorToRGB(Color()));
  brush = reinterpret_cast<LRESULT>(ColorBrush());
  return true;
}

// --------------------------------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  UpdateBoundsCache(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "Button";
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  if (FHandle) Send(FHandle, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::CommandNotify(UINT code) {
  if (code == BN_CLICKED) Click();
}

// -------------------------------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  UpdateBoundsCache(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubclassOf = "Button";
  // Three-state but not automatic: the control steps the state itself, so a grayed state set
  // from code shows even when the user may not choose it.
  params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  Send(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCheckBox::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  if (FHandle) Send(FHandle, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCheckBox::CommandNotify(UINT code) {
  if (code != BN_CLICKED) return;
  switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

}  // namespace kyt
