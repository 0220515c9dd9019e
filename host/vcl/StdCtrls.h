// StdCtrls: the standard controls, each on its system window class so test helpers find them
// by class and caption: TLabel ("Static"), TEdit and TMemo ("Edit"), TComboBox ("ComboBox"),
// TListBox ("ListBox"), TButton and TCheckBox ("Button").
#ifndef KYT_HOST_VCL_STDCTRLS_H
#define KYT_HOST_VCL_STDCTRLS_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Events.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"

namespace kyt {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
KYT_ENUM_INFO(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")

// A static text. With AutoSize it takes the size of its text in its font; its accelerator
// (the character after '&') focuses FocusControl.
class TLabel : public TWinControl {
  KYT_CLASS(TLabel, TWinControl)
 public:
  static void Publish(TPublisher<TLabel>& p) {
    p.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
    p.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    p.Property("Caption", &TLabel::Caption, &TLabel::SetCaption).TypeName("TCaption");
    p.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    p.Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    p.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
  }

  explicit TLabel(TComponent* owner);
  ~TLabel() override;

  // Properties
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

  // The accelerator character (upper case), or 0.
  char Accelerator() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void TextChanged() override;
  void FontChanged() override;
  void ParentFontChanged() override;
  void Loaded() override;
  bool ControlColor(HDC dc, LRESULT& brush) override;

 private:
  void AdjustBounds();

  bool FAutoSize = true;
  TWinControl* FFocusControl = nullptr;
  TAlignment FAlignment = taLeftJustify;
  bool FShowAccelChar = true;
  bool FWordWrap = false;
};

// What a one-line and a multi-line edit share: the text lives in the window, a length limit,
// read-only mode, the selection and OnChange.
class TCustomEdit : public TWinControl {
  KYT_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* owner);

  // Properties
  std::string Caption() const override;
  // 0: no limit.
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  int32_t SelStart() const;
  int32_t SelLength() const;

  // Events
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  // Methods
  void SelectAll();
  void Clear() { SetCaption(std::string()); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void CommandNotify(UINT code) override;
  TColor DefaultColor() const override { return clWindow; }
  bool DefaultParentColor() const override { return false; }
  bool DefaultTabStop() const override { return true; }
  bool ControlColor(HDC dc, LRESULT& brush) override;

 private:
  int32_t FMaxLength = 0;
  bool FReadOnly = false;
  TNotifyEvent FOnChange;
};

// A one-line edit box.
class TEdit : public TCustomEdit {
  KYT_CLASS(TEdit, TCustomEdit)
 public:
  static void Publish(TPublisher<TEdit>& p) {
    p.Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    p.Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    p.Property("Text", &TEdit::Caption, &TEdit::SetCaption).TypeName("TCaption");
    p.Property("OnChange", &TEdit::OnChange, &TEdit::SetOnChange);
  }

  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}

 protected:
  void CreateParams(TCreateParams& params) override;
};

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
KYT_ENUM_INFO(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

class TMemo;

// The lines of a memo: its window text split at line breaks, so the two never disagree.
// "a" CR LF "b" is two lines; a break at the very end adds no empty line (as SetText reads it).
class TMemoStrings : public TStrings {
  KYT_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TMemo* memo) : FMemo(memo) {}
  std::string Get(int index) const override;
  int Count() const override;
  void Put(int index, const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  std::string Text() const override;
  void SetText(const std::string& text) override;

 private:
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);

  TMemo* FMemo;
};

// A multi-line edit box; its text is published as Lines.
class TMemo : public TCustomEdit {
  KYT_CLASS(TMemo, TCustomEdit)
 public:
  static void Publish(TPublisher<TMemo>& p) {
    p.Property("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
    p.Property("Lines", &TMemo::Lines, &TMemo::SetLines);
    p.Property("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
    p.Property("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
    p.Property("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
    p.Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
    p.Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    p.Property("OnChange", &TMemo::OnChange, &TMemo::SetOnChange);
  }

  explicit TMemo(TComponent* owner);
  ~TMemo() override;

  // Properties
  TStrings* Lines() const { return FLines.get(); }
  // Copies the lines.
  void SetLines(TStrings* value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  // Enter breaks the line (otherwise it presses the form's default button).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value);
  // Long lines wrap at the right edge (no horizontal scrolling then).
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  std::unique_ptr<TMemoStrings> FLines;
  TAlignment FAlignment = taLeftJustify;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWordWrap = true;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
KYT_ENUM_INFO(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")

// A check box. A click steps the state (unchecked, checked, and grayed when AllowGrayed) and
// runs OnClick; so does setting State or Checked from code, except while a form file is read.
class TCheckBox : public TWinControl {
  KYT_CLASS(TCheckBox, TWinControl)
 public:
  static void Publish(TPublisher<TCheckBox>& p) {
    p.Property("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
    p.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    p.Property("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption).TypeName("TCaption");
    p.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
    p.Property("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
    p.Property("OnClick", &TCheckBox::OnClick, &TCheckBox::SetOnClick);
  }

  explicit TCheckBox(TComponent* owner);

  // Properties
  // taRightJustify puts the caption right of the box (the default), taLeftJustify left of it.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void CommandNotify(UINT code) override;
  bool DefaultTabStop() const override { return true; }

 private:
  TAlignment FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
};

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
KYT_ENUM_INFO(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
              "csOwnerDrawVariable")

class TComboBox;

// The item messages of a list or a combo box: the two keep their items alike under other numbers.
struct TItemMessages {
  UINT GetTextLen, GetText, GetCount, GetItemData, SetItemData, AddString, InsertString, DeleteString,
      ResetContent, FindStringExact, GetCurSel, SetCurSel;
};

// The items of a list or combo box, read from and written to the real control (its window is
// created on first use), so the list and the control never disagree. Sorted controls sort as
// the control does. While the window is recreated the items wait in the object.
class TControlItems : public TStrings {
  KYT_CLASS(TControlItems, TStrings)
 public:
  std::string Get(int index) const override;
  int Count() const override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  // The control's own exact, case-insensitive search.
  int IndexOf(const std::string& s) const override;

  // Selected item (-1: none), kept too while the window is away.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Called by the control while its window goes and after it came back.
  void KeepWhileWindowGoes();
  void PutBackIntoWindow();

 protected:
  TControlItems(TWinControl* control, const TItemMessages& messages) : FControl(control), FMessages(messages) {}
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

 private:
  TWinControl* FControl;
  const TItemMessages& FMessages;
  std::vector<std::string> FSavedItems;
  std::vector<TObject*> FSavedObjects;
  int FSavedItemIndex = -1;
};

class TComboBoxStrings : public TControlItems {
  KYT_CLASS(TComboBoxStrings, TControlItems)
 public:
  explicit TComboBoxStrings(TComboBox* comboBox);
  // Removes every item; the edit text of an editable box stays.
  void Clear() override;

 private:
  TComboBox* FComboBox;
};

// A combo box; csDropDown (the default) is an editable drop-down.
class TComboBox : public TWinControl {
  KYT_CLASS(TComboBox, TWinControl)
 public:
  static void Publish(TPublisher<TComboBox>& p) {
    p.Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
    p.Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Stored(TStored::Never);
    p.Property("Items", &TComboBox::Items, &TComboBox::SetItems);
    p.Property("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
    p.Property("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
    p.Property("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
    p.Property("Text", &TComboBox::Caption, &TComboBox::SetCaption).TypeName("TCaption");
    p.Property("OnChange", &TComboBox::OnChange, &TComboBox::SetOnChange);
  }

  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  // Properties
  std::string Caption() const override;
  void SetCaption(const std::string& value) override;
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  // Longest text the edit part accepts; 0: no limit.
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t value);
  int32_t DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int32_t value);
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* value);
  // The selected item, -1 for none.
  int32_t ItemIndex() const;
  void SetItemIndex(int32_t value);
  bool DroppedDown() const;
  void SetDroppedDown(bool value);

  // Events
  // The edit text changed or another item was selected.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  // Methods
  // Selects the whole edit text.
  void SelectAll();
  void Clear();
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void CommandNotify(UINT code) override;
  void UpdateBoundsFromWindow() override;
  TColor DefaultColor() const override { return clWindow; }
  bool DefaultParentColor() const override { return false; }
  bool DefaultTabStop() const override { return true; }
  bool ControlColor(HDC dc, LRESULT& brush) override;

 private:
  int DropDownHeight() const;

  TComboBoxStyle FStyle = csDropDown;
  bool FSorted = false;
  int32_t FMaxLength = 0;
  int32_t FDropDownCount = 8;
  std::unique_ptr<TComboBoxStrings> FItems;
  // State kept while the window does not exist.
  bool FSavedSelectAll = false;
  TNotifyEvent FOnChange;
};

class TListBox;

class TListBoxStrings : public TControlItems {
  KYT_CLASS(TListBoxStrings, TControlItems)
 public:
  explicit TListBoxStrings(TListBox* listBox);
};

// A list of text lines with a vertical scroll bar; OnClick runs when the user selects a line.
class TListBox : public TWinControl {
  KYT_CLASS(TListBox, TWinControl)
 public:
  static void Publish(TPublisher<TListBox>& p) {
    p.Property("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Stored(TStored::Never);
    p.Property("Items", &TListBox::Items, &TListBox::SetItems);
    p.Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
    p.Property("OnClick", &TListBox::OnClick, &TListBox::SetOnClick);
  }

  explicit TListBox(TComponent* owner);
  ~TListBox() override;

  // Properties
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* value);
  // The selected line, -1 for none.
  int32_t ItemIndex() const { return FItems->ItemIndex(); }
  void SetItemIndex(int32_t value) { FItems->SetItemIndex(value); }

  // Methods
  // Height of one line in pixels in the control's font.
  int32_t ItemHeight();
  // The first line shown; setting it scrolls the list.
  int32_t TopIndex();
  void SetTopIndex(int32_t value);
  void Clear() { FItems->Clear(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void CommandNotify(UINT code) override;
  TColor DefaultColor() const override { return clWindow; }
  bool DefaultParentColor() const override { return false; }
  bool DefaultTabStop() const override { return true; }
  bool ControlColor(HDC dc, LRESULT& brush) override;

 private:
  bool FSorted = false;
  std::unique_ptr<TListBoxStrings> FItems;
};

// A push button. Clicking it sets its form's ModalResult (when its own is non-zero) and runs
// OnClick; Default buttons answer Enter, Cancel buttons Escape.
class TButton : public TWinControl {
  KYT_CLASS(TButton, TWinControl)
 public:
  static void Publish(TPublisher<TButton>& p) {
    p.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    p.Property("Caption", &TButton::Caption, &TButton::SetCaption).TypeName("TCaption");
    p.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    p.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0).TypeName("TModalResult");
    p.Property("OnClick", &TButton::OnClick, &TButton::SetOnClick);
  }

  explicit TButton(TComponent* owner);

  // Properties
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  int32_t ModalResult() const { return FModalResult; }
  void SetModalResult(int32_t value) { FModalResult = value; }

  // Methods
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CommandNotify(UINT code) override;
  bool DefaultTabStop() const override { return true; }

 private:
  bool FDefault = false;
  bool FCancel = false;
  int32_t FModalResult = mrNone;
};

}  // namespace kyt

#endif  // KYT_HOST_VCL_STDCTRLS_H
