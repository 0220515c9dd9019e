// EditorDialogs: the property editors' dialogs, built as forms of the runtime.
#include "tools/designer/EditorDialogs.h"

#include "host/core/Strings.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

namespace {

TButton* AddButton(TForm& form, const std::string& caption, TModalResult result, int32_t left, int32_t top) {
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetCaption(caption);
  button->SetModalResult(result);
  button->SetBounds(left, top, 78, 24);
  return button;
}

// OK and Cancel at the bottom right of a dialog form of this client size.
void AddOkCancel(TForm& form, int32_t width, int32_t height) {
  AddButton(form, "OK", mrOk, width - 170, height - 32)->SetDefault(true);
  AddButton(form, "Cancel", mrCancel, width - 86, height - 32)->SetCancel(true);
}

void DialogForm(TForm& form, const std::string& title, int32_t width, int32_t height) {
  form.SetCaption(title);
  form.SetBorderStyle(bsDialog);
  form.SetPosition(poScreenCenter);
  form.SetClientWidth(width);
  form.SetClientHeight(height);
  AddOkCancel(form, width, height);
}

// The collection editor's list and buttons: Add appends an item, Delete removes the selected one.
class TItemsDialog : public TForm {
 public:
  TItemsDialog(const std::string& title, const std::vector<std::string>& items) : TForm(nullptr) {
    DialogForm(*this, title, 300, 240);
    FList = new TListBox(this);
    FList->SetParent(this);
    FList->SetBounds(8, 8, 196, 190);
    for (const std::string& item : items) FList->Items()->Add(item);
    AddButton(*this, "&Add", mrNone, 214, 8)->SetOnClick(TNotifyEvent::Bind<&TItemsDialog::AddClick>(this));
    AddButton(*this, "&Delete", mrNone, 214, 40)->SetOnClick(TNotifyEvent::Bind<&TItemsDialog::DeleteClick>(this));
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> out;
    for (int i = 0; i < FList->Items()->Count(); ++i) out.push_back(FList->Items()->Get(i));
    return out;
  }

 private:
  void AddClick(TObject*) {
    FList->Items()->Add(std::to_string(FList->Items()->Count()) + " - (new item)");
    FList->SetItemIndex(FList->Items()->Count() - 1);
  }
  void DeleteClick(TObject*) {
    const int index = FList->ItemIndex();
    if (index >= 0) FList->Items()->Delete(index);
  }
  TListBox* FList;
};

}  // namespace

bool EditLinesDialog(const std::string& title, std::vector<std::string>& lines) {
  TForm form(nullptr);
  DialogForm(form, title, 360, 260);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->SetBounds(8, 8, 344, 210);
  memo->SetScrollBars(ssBoth);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  memo->Lines()->SetText(text);
  if (form.ShowModal() != mrOk) return false;
  lines.clear();
  for (int i = 0; i < memo->Lines()->Count(); ++i) lines.push_back(memo->Lines()->Get(i));
  return true;
}

bool EditItemsDialog(const std::string& title, std::vector<std::string>& items) {
  TItemsDialog dialog(title, items);
  if (dialog.ShowModal() != mrOk) return false;
  items = dialog.Items();
  return true;
}

bool AskEditorDialog(TPropertyEditor& editor, std::string& answer) {
  const std::string name = editor.GetName();
  if (auto* list = dynamic_cast<TStringsProperty*>(&editor)) {
    std::vector<std::string> lines;
    const std::vector<TPersistent*> objects = list->SubObjects();
    if (auto* strings = objects.empty() ? nullptr : dynamic_cast<TStrings*>(objects[0]))
      for (int i = 0; i < strings->Count(); ++i) lines.push_back(strings->Get(i));
    if (!EditLinesDialog("String List Editor - " + name, lines)) return false;
    answer.clear();
    for (const std::string& line : lines) answer += line + "\r\n";
    return true;
  }
  if (dynamic_cast<TCollectionProperty*>(&editor)) {
    std::vector<std::string> items;
    for (const auto& item : editor.GetProperties()) items.push_back(item->GetName() + " - " + item->GetValue());
    if (!EditItemsDialog("Editing " + name, items)) return false;
    answer = std::to_string(items.size());
    return true;
  }
  if (dynamic_cast<TBinaryProperty*>(&editor)) {
    TOpenDialog open(nullptr);
    open.SetTitle("Load " + name);
    open.SetFilter("Icons (*.ico)|*.ico|All files (*.*)|*.*");
    if (!open.Execute()) return false;
    answer = open.FileName();
    return true;
  }
  if (dynamic_cast<TColorProperty*>(&editor)) {
    TColorDialog colour(nullptr);
    try {
      colour.SetColor(StringToColor(editor.GetValue()));
    } catch (const Exception&) {
    }
    if (!colour.Execute()) return false;
    answer = ColorToString(colour.Color());
    return true;
  }
  editor.Edit();
  return false;
}

}  // namespace kyt
