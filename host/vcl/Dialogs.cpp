// Dialogs: the runtime's standard message dialogs and input query, built as its own modal forms.
#include "host/vcl/Dialogs.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>
#include <memory>
#include <vector>

#include "host/core/ComponentRef.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Application.h"
#include "host/vcl/Buttons.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

namespace {

// Layout of the message dialog, in pixels.
constexpr int kMargin = 12;          // around the content
constexpr int kIconSize = 32;        // the system icon
constexpr int kIconGap = 12;         // between icon and text
constexpr int kTextButtonGap = 16;   // between text and the button row
constexpr int kButtonHeight = 25;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonPadding = 16;   // added to a caption's width
constexpr int kButtonGap = 8;        // between buttons
constexpr int kMinClientWidth = 180;

const char* const kTitles[] = {"Warning", "Error", "Information", "Confirmation"};

struct ButtonInfo {
  const char* Caption;
  int Result;
};
// By TMsgDlgBtn ordinal; the Help button has no result, it does not close the dialog.
const ButtonInfo kButtons[] = {
    {"&Yes", mrYes},          {"&No", mrNo},         {"OK", mrOk},
    {"Cancel", mrCancel},     {"&Abort", mrAbort},   {"&Retry", mrRetry},
    {"&Ignore", mrIgnore},    {"&All", mrAll},       {"N&o to All", mrNoToAll},
    {"Yes to &All", mrYesToAll}, {"&Help", mrNone},
};

LPCSTR IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return IDI_EXCLAMATION;
    case mtError: return IDI_HAND;
    case mtInformation: return IDI_ASTERISK;
    case mtConfirmation: return IDI_QUESTION;
    default: return nullptr;
  }
}

// Size of text drawn in a font; DT_CALCRECT with a width limit wraps long lines.
SIZE MeasureText(const TFont& font, const std::string& text, int maxWidth, UINT flags) {
  SIZE size{0, 0};
  HDC dc = os::user32.GetDC(nullptr);
  if (!dc) return size;
  HGDIOBJ old = os::gdi32.SelectObject(dc, font.Handle());
  RECT r{0, 0, maxWidth, 0};
  // A single space keeps an empty text one line high, as the static control draws it.
  const std::string measured = text.empty() ? std::string(" ") : text;
  os::user32.DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &r,
                       DT_CALCRECT | flags);
  if (old) os::gdi32.SelectObject(dc, old);
  os::user32.ReleaseDC(nullptr, dc);
  size.cx = r.right - r.left;
  size.cy = r.bottom - r.top;
  return size;
}

// SetBounds through the public TControl face (the window classes override it as protected).
void SetControlBounds(TControl& control, int left, int top, int width, int height) {
  control.SetBounds(left, top, width, height);
}

int ScreenWidth() {
  return Screen ? Screen->Width() : os::user32.GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeight() {
  return Screen ? Screen->Height() : os::user32.GetSystemMetrics(SM_CYSCREEN);
}

// The form of the standard dialogs; its window class is named after it.
class TMessageForm : public TForm {
  KYT_CLASS(TMessageForm, TForm)
 public:
  explicit TMessageForm(TComponent* owner) : TForm(owner) { SetBorderStyle(bsDialog); }
};

// The system icon of a message type, on a "Static" window of style SS_ICON.
class TMessageIcon : public TWinControl {
  KYT_CLASS(TMessageIcon, TWinControl)
 public:
  TMessageIcon(TComponent* owner, LPCSTR iconName) : TWinControl(owner), FIconName(iconName) {}

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.SubclassOf = "Static";
    params.Style |= SS_ICON;
  }
  void CreateWindowHandleDone() override {
    TWinControl::CreateWindowHandleDone();
    // Shared system icons are never destroyed by their users.
    HICON icon = os::user32.LoadIconA(nullptr, FIconName);
    os::user32.SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }

 private:
  LPCSTR FIconName;
};

// Places a dialog by its outer size: each coordinate of -1 centres it along that axis.
void PlaceDialog(TForm& form, int x, int y) {
  form.SetPosition(poDesigned);
  SetControlBounds(form, x == -1 ? (ScreenWidth() - form.Width()) / 2 : x,
                   y == -1 ? (ScreenHeight() - form.Height()) / 2 : y, form.Width(),
                   form.Height());
}

// The title of mtCustom dialogs and ShowMessage: the application's title.
std::string ApplicationTitle() { return Application ? Application->Title() : std::string(); }

int ShowMessageDialog(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                      int32_t helpCtx, int x, int y) {
  // Without a button that closes it the dialog could never be answered: it gets OK then.
  if ((buttons - TMsgDlgButtons{mbHelp}).Empty()) buttons.Include(mbOK);
  // Default (Enter): OK, else Yes, else the first button shown. Cancel (Escape): Cancel, else
  // No, else OK, else none.
  const int defaultButton = buttons.Contains(mbOK)    ? mbOK
                            : buttons.Contains(mbYes) ? mbYes
                                                      : -1;
  const int cancelButton = buttons.Contains(mbCancel) ? mbCancel
                           : buttons.Contains(mbNo)   ? mbNo
                           : buttons.Contains(mbOK)   ? mbOK
                                                      : -1;

  // The form owns every control; the unique_ptr frees it on every path.
  auto form = std::make_unique<TMessageForm>(Application);
  form->SetCaption(dlgType == mtCustom ? ApplicationTitle()
                                       : std::string(kTitles[static_cast<int>(dlgType)]));

  const LPCSTR iconName = IconOf(dlgType);
  const int textLeft = iconName ? kMargin + kIconSize + kIconGap : kMargin;
  if (iconName) {
    auto* icon = new TMessageIcon(form.get(), iconName);
    SetControlBounds(*icon, kMargin, kMargin, kIconSize, kIconSize);
    icon->SetParent(form.get());
  }

  // The text is shown as given: no accelerators, CR and CR LF break lines, long lines wrap.
  auto* label = new TLabel(form.get());
  label->SetAutoSize(false);
  label->SetShowAccelChar(false);
  label->SetWordWrap(true);
  label->SetCaption(msg);
  const int maxTextWidth = std::max(200, ScreenWidth() / 2);
  const SIZE text = MeasureText(*form->Font(), msg, maxTextWidth,
                                DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  int textTop = kMargin;
  if (iconName && text.cy < kIconSize) textTop += (kIconSize - text.cy) / 2;
  SetControlBounds(*label, textLeft, textTop, text.cx, text.cy);
  label->SetParent(form.get());

  std::vector<TBitBtn*> shown;
  std::vector<int> widths;
  for (int b = mbYes; b <= mbHelp; ++b) {
    if (!buttons.Contains(static_cast<TMsgDlgBtn>(b))) continue;
    auto* button = new TBitBtn(form.get());
    if (b == mbHelp) {
      // The help kind asks the application for help on HelpContext; it does not close.
      button->SetKind(bkHelp);
      button->SetHelpContext(helpCtx);
    }
    button->SetCaption(kButtons[b].Caption);
    button->SetModalResult(kButtons[b].Result);
    const bool isDefault = b == defaultButton || (defaultButton == -1 && shown.empty());
    button->SetDefault(isDefault);
    if (isDefault) form->SetActiveControl(button);  // the default button starts focused
    button->SetCancel(b == cancelButton);
    const SIZE caption = MeasureText(*form->Font(), kButtons[b].Caption, 1000, DT_SINGLELINE);
    widths.push_back(std::max(kButtonMinWidth, static_cast<int>(caption.cx) + kButtonPadding));
    shown.push_back(button);
  }

  int rowWidth = kButtonGap * (static_cast<int>(widths.size()) - 1);
  for (int w : widths) rowWidth += w;
  const int contentBottom = std::max(textTop + static_cast<int>(text.cy),
                                     iconName ? kMargin + kIconSize : 0);
  const int clientWidth = std::max({textLeft + static_cast<int>(text.cx) + kMargin,
                                    rowWidth + 2 * kMargin, kMinClientWidth});
  const int buttonTop = contentBottom + kTextButtonGap;
  int left = (clientWidth - rowWidth) / 2;
  for (size_t i = 0; i < shown.size(); ++i) {
    SetControlBounds(*shown[i], left, buttonTop, widths[i], kButtonHeight);
    shown[i]->SetParent(form.get());
    left += widths[i] + kButtonGap;
  }
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonTop + kButtonHeight + kMargin);
  PlaceDialog(*form, x, y);
  // A handler in the modal loop may free the dialog itself: no button was pressed then.
  const TComponentRef<TMessageForm> dialog(form.get());
  const TModalResult result = form->ShowModal();
  if (!dialog) {
    form.release();
    return mrNone;
  }
  return result;
}

}  // namespace

int MessageDlg(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
               int32_t helpCtx) {
  return ShowMessageDialog(msg, dlgType, buttons, helpCtx, -1, -1);
}

int MessageDlgPos(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                  int32_t helpCtx, int x, int y) {
  return ShowMessageDialog(msg, dlgType, buttons, helpCtx, x, y);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  constexpr int kEditWidth = 260;
  auto form = std::make_unique<TMessageForm>(Application);
  form->SetCaption(caption);

  auto* label = new TLabel(form.get());
  label->SetAutoSize(false);
  label->SetShowAccelChar(false);
  label->SetCaption(prompt);
  const SIZE text = MeasureText(*form->Font(), prompt, 1000, DT_SINGLELINE | DT_NOPREFIX);
  SetControlBounds(*label, kMargin, kMargin, text.cx, text.cy);
  label->SetParent(form.get());
  const int clientWidth = std::max(kEditWidth, static_cast<int>(text.cx)) + 2 * kMargin;

  auto* edit = new TEdit(form.get());
  const SIZE line = MeasureText(*form->Font(), "Wg", 1000, DT_SINGLELINE);
  SetControlBounds(*edit, kMargin, kMargin + text.cy + 6, clientWidth - 2 * kMargin,
                  static_cast<int>(line.cy) + 8);
  edit->SetParent(form.get());
  edit->SetText(value);
  edit->SelectAll();
  label->SetFocusControl(edit);
  form->SetActiveControl(edit);

  const int buttonTop = edit->Top() + edit->Height() + kTextButtonGap;
  const int rowWidth = 2 * kButtonMinWidth + kButtonGap;
  auto* ok = new TBitBtn(form.get());
  ok->SetKind(bkOK);
  SetControlBounds(*ok, (clientWidth - rowWidth) / 2, buttonTop, kButtonMinWidth, kButtonHeight);
  ok->SetParent(form.get());
  auto* cancel = new TBitBtn(form.get());
  cancel->SetKind(bkCancel);
  SetControlBounds(*cancel, ok->Left() + kButtonMinWidth + kButtonGap, buttonTop, kButtonMinWidth,
                    kButtonHeight);
  cancel->SetParent(form.get());

  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonTop + kButtonHeight + kMargin);
  PlaceDialog(*form, -1, -1);
  // A handler in the modal loop may free the dialog itself: it then answers nothing.
  const TComponentRef<TMessageForm> dialog(form.get());
  const TModalResult result = form->ShowModal();
  if (!dialog) {
    form.release();
    return false;
  }
  if (result != mrOk) return false;
  value = edit->Text();
  return true;
}

void ShowMessage(const std::string& msg) { MessageDlg(msg, mtCustom, TMsgDlgButtons{mbOK}, 0); }

}  // namespace kyt

// ---- Common dialogs

namespace kyt {

void* TCommonDialog::OwnerWindow() {
  HWND active = os::user32.GetActiveWindow();
  if (active) return active;
  return Application ? Application->Handle() : nullptr;
}

bool TCommonDialog::CancelledOrRaise(const char* dialog) {
  const DWORD error = os::comdlg32.CommDlgExtendedError();
  if (!error) return false;
  char code[16];
  std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(error));
  throw Exception(std::string("Cannot show the ") + dialog + " dialog (common dialog error " + code + ")");
}

namespace {

// The family's "name|pattern|name|pattern" as the system's NUL-separated list with two NULs at
// its end; empty for no filter.
std::string SystemFilter(const std::string& filter) {
  if (filter.empty()) return {};
  std::string out = filter;
  std::replace(out.begin(), out.end(), '|', '\0');
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

DWORD OpenFlags(TOpenOptions options) {
  DWORD flags = OFN_EXPLORER | OFN_ENABLESIZING;
  const std::pair<TOpenOption, DWORD> map[] = {
      {ofReadOnly, OFN_READONLY},         {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY}, {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofNoValidate, OFN_NOVALIDATE},     {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofNoTestFileCreate, OFN_NOTESTFILECREATE}};
  for (const auto& [option, flag] : map)
    if (options.Contains(option)) flags |= flag;
  return flags;
}

}  // namespace

bool TOpenDialog::Execute() {
  // Room for the longest path the system takes; a longer FileName than that is refused rather
  // than cut into another name.
  constexpr size_t kBuffer = 32768;
  if (FFileName.size() >= kBuffer) throw Exception("File name too long for the " + std::string(DialogName()) + " dialog");
  std::vector<char> file(kBuffer, '\0');
  std::copy(FFileName.begin(), FFileName.end(), file.begin());
  const std::string filter = SystemFilter(FFilter);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = static_cast<HWND>(OwnerWindow());
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex < 0 ? 0 : FFilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  ofn.Flags = OpenFlags(FOptions);
  if (!ShowDialog(&ofn)) return CancelledOrRaise(DialogName());
  file.back() = '\0';
  FFileName = file.data();
  FFilterIndex = static_cast<int32_t>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY) FOptions.Include(ofReadOnly);
  else FOptions.Exclude(ofReadOnly);
  return true;
}

bool TOpenDialog::ShowDialog(void* record) {
  return os::comdlg32.GetOpenFileNameA(static_cast<OPENFILENAMEA*>(record)) != FALSE;
}

bool TSaveDialog::ShowDialog(void* record) {
  return os::comdlg32.GetSaveFileNameA(static_cast<OPENFILENAMEA*>(record)) != FALSE;
}

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner) {
  std::fill(std::begin(FCustomColors), std::end(FCustomColors), 0xFFFFFFu);
}

uint32_t TColorDialog::CustomColor(int index) const {
  if (index < 0 || index >= 16) throw EListError("Custom colour index out of bounds (" + std::to_string(index) + ")");
  return FCustomColors[index];
}

void TColorDialog::SetCustomColor(int index, uint32_t rgb) {
  if (index < 0 || index >= 16) throw EListError("Custom colour index out of bounds (" + std::to_string(index) + ")");
  FCustomColors[index] = rgb & 0xFFFFFFu;
}

bool TColorDialog::Execute() {
  static_assert(sizeof(COLORREF) == sizeof(uint32_t));
  COLORREF custom[16];
  std::copy(std::begin(FCustomColors), std::end(FCustomColors), custom);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = static_cast<HWND>(OwnerWindow());
  cc.rgbResult = ColorToRGB(FColor);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (FOptions.Contains(cdFullOpen)) cc.Flags |= CC_FULLOPEN;
  if (FOptions.Contains(cdPreventFullOpen)) cc.Flags |= CC_PREVENTFULLOPEN;
  if (FOptions.Contains(cdSolidColor)) cc.Flags |= CC_SOLIDCOLOR;
  if (FOptions.Contains(cdAnyColor)) cc.Flags |= CC_ANYCOLOR;
  if (!os::comdlg32.ChooseColorA(&cc)) return CancelledOrRaise("colour");
  std::copy(std::begin(custom), std::end(custom), FCustomColors);
  FColor = ColorOf(cc.rgbResult & 0xFFFFFFu);
  return true;
}

}  // namespace kyt
