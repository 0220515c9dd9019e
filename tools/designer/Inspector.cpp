// Inspector: the object inspector's rows, its in-place editors and the editors' dialogs.
#include "tools/designer/Inspector.h"

#include <algorithm>

#include "host/core/TextCompare.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Graphics.h"
#include "tools/designer/EditorDialogs.h"

namespace kyt {

namespace {

constexpr int32_t kTop = 30;       // below the component list
constexpr int32_t kTabsHeight = 24;

// "Font.Style.fsBold" is three deep; "Lists[0].Name" two.
int DepthOf(const std::string& path) {
  return static_cast<int>(std::count(path.begin(), path.end(), '.') + std::count(path.begin(), path.end(), '['));
}

std::string LastPart(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t bracket = path.find_last_of('[');
  if (bracket != std::string::npos && (dot == std::string::npos || bracket > dot)) return path.substr(bracket);
  return dot == std::string::npos ? path : path.substr(dot + 1);
}

// The path a sub-entry hangs from (empty for a top-level entry).
std::string ParentPath(const std::string& path) {
  const size_t cut = path.find_last_of(".[");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

// ---- TInspectorGrid

TInspectorGrid::TInspectorGrid(TComponent* owner, TObjectInspector& inspector) : TWinControl(owner), FInspector(inspector) {}

void TInspectorGrid::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WinClassName = "TKYTInspectorGrid";
}

int TInspectorGrid::RowAt(int32_t y) const {
  const int row = y / kInspectorRowHeight;
  return y >= 0 && row < static_cast<int>(FInspector.Rows().size()) ? row : -1;
}

void TInspectorGrid::Paint(HDC dc) {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, 1);  // TRANSPARENT, which a runtime header takes back
  HPEN line = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldPen = ::SelectObject(dc, line);
  const auto& rows = FInspector.Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const TInspectorRow& row = rows[i];
    const int32_t top = static_cast<int32_t>(i) * kInspectorRowHeight;
    const int32_t indent = 12 + row.Depth * 10;
    if (row.Path == FInspector.Editing()) {
      RECT r{0, top, FNameWidth, top + kInspectorRowHeight};
      ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    if (row.Expandable) {
      const char* sign = FInspector.FOpen.count(row.Path) ? "-" : "+";
      ::TextOutA(dc, indent - 10, top + 2, sign, 1);
    }
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::TextOutA(dc, indent, top + 2, row.Name.c_str(), static_cast<int>(row.Name.size()));
    // Read-only rows are greyed; those with a dialog still open it.
    ::SetTextColor(dc, row.ReadOnly && !row.Dialog ? ::GetSysColor(COLOR_GRAYTEXT)
                                                   : row.ReadOnly ? RGB(0, 0, 128) : ::GetSysColor(COLOR_WINDOWTEXT));
    ::TextOutA(dc, FNameWidth + 4, top + 2, row.Value.c_str(), static_cast<int>(row.Value.size()));
    ::MoveToEx(dc, 0, top + kInspectorRowHeight - 1, nullptr);
    ::LineTo(dc, client.right, top + kInspectorRowHeight - 1);
  }
  ::MoveToEx(dc, FNameWidth, 0, nullptr);
  ::LineTo(dc, FNameWidth, static_cast<int32_t>(rows.size()) * kInspectorRowHeight);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(line);
  ::SelectObject(dc, oldFont);
}

void TInspectorGrid::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  TWinControl::MouseDown(button, shift, x, y);
  const int row = RowAt(y);
  if (button != mbLeft) return;
  if (row < 0) {
    FInspector.EndEdit(true);
    return;
  }
  const TInspectorRow picked = FInspector.Rows()[static_cast<size_t>(row)];
  if (shift.Contains(ssDouble)) {
    FInspector.RowDoubleClicked(picked.Path);
    return;
  }
  if (picked.Expandable && x < 12 + picked.Depth * 10) {
    FInspector.Toggle(picked.Path);
    return;
  }
  FInspector.BeginEdit(picked.Path);
}

// ---- TObjectInspector

namespace {

// The in-place editors tell the inspector when they lose the focus: a click elsewhere commits.
class TInplaceEdit : public TEdit {
 public:
  TInplaceEdit(TComponent* owner, TObjectInspector& inspector) : TEdit(owner), FInspector(inspector) {}

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_KILLFOCUS && !FInspector.Editing().empty()) FInspector.EndEdit(true);
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DLGC_WANTALLKEYS;
      return;
    }
    TEdit::WndProc(message);
  }

 private:
  TObjectInspector& FInspector;
};

}  // namespace

TObjectInspector::TObjectInspector(TComponent* owner, TDesignerContext& context) : TForm(owner), FContext(context) {
  SetCaption("Object Inspector");
  SetBounds(1022, 122, 258, 700);
  FComponents = new TComboBox(this);
  FComponents->SetParent(this);
  FComponents->SetStyle(csDropDownList);
  FComponents->SetBounds(2, 2, 246, 200);
  FComponents->SetOnChange(TNotifyEvent::Bind<&TObjectInspector::ComponentChosen>(this));
  FTabs = new TTabControl(this);
  FTabs->SetParent(this);
  FTabs->SetBounds(2, kTop, 246, kTabsHeight);
  FTabs->Tabs()->Add("Properties");
  FTabs->Tabs()->Add("Events");
  FTabs->SetTabIndex(0);
  FTabs->SetOnChange(TNotifyEvent::Bind<&TObjectInspector::TabChanged>(this));
  FGrid = new TInspectorGrid(this, *this);
  FGrid->SetParent(this);
  FGrid->SetBounds(2, kTop + kTabsHeight, 246, 610);
  FEdit = new TInplaceEdit(this, *this);
  FEdit->SetParent(FGrid);
  FEdit->SetVisible(false);
  FEdit->SetOnKeyDown(TKeyEvent::Bind<&TObjectInspector::EditKey>(this));
  FList = new TComboBox(this);
  FList->SetParent(FGrid);
  FList->SetVisible(false);
  FList->SetOnKeyDown(TKeyEvent::Bind<&TObjectInspector::EditKey>(this));
  FEllipsis = new TButton(this);
  FEllipsis->SetParent(FGrid);
  FEllipsis->SetCaption("...");
  FEllipsis->SetVisible(false);
  FEllipsis->SetOnClick(TNotifyEvent::Bind<&TObjectInspector::EllipsisClick>(this));
  FContext.Subscribe(this);
  Reload();
}

TObjectInspector::~TObjectInspector() { FContext.Unsubscribe(this); }

TWinControl* TObjectInspector::Editor() const {
  if (FEditing.empty()) return nullptr;
  return FList->Visible() ? static_cast<TWinControl*>(FList) : FEdit;
}

void TObjectInspector::DesignerNews(TDesignerNews news) {
  if (news == TDesignerNews::Palette) return;
  // The values follow the components (a timer's tick) without disturbing the row being edited;
  // another selection or another form starts again.
  if (news == TDesignerNews::Form && !FEditing.empty()) ReloadValues();
  else Reload();
}

bool TObjectInspector::EventsShown() const { return FTabs->TabIndex() == 1; }

void TObjectInspector::ShowEvents(bool events) {
  EndEdit(true);
  FTabs->SetTabIndex(events ? 1 : 0);
  Reload();
}

void TObjectInspector::TabChanged(TObject*) {
  EndEdit(true);
  Reload();
}

std::vector<TInspectorLine> TObjectInspector::Lines() const {
  TDesignSession* s = FContext.Current();
  if (!s || s->Selection().empty()) return {};
  try {
    return EventsShown() ? s->Events() : s->Properties();
  } catch (const Exception&) {
    return {};  // a getter that raises leaves the inspector empty, not the designer stopped
  }
}

void TObjectInspector::Reload() {
  FReloading = true;
  EndEdit(false);
  TDesignSession* s = FContext.Current();
  // The component list: the form, then its components, each "Name: Class".
  FComponents->Items()->Clear();
  int selected = -1;
  if (s) {
    std::vector<TComponent*> all{&s->Form()};
    for (int i = 0; i < s->Form().ComponentCount(); ++i) all.push_back(s->Form().Components(i));
    for (size_t i = 0; i < all.size(); ++i) {
      FComponents->Items()->Add(all[i]->Name() + ": " + all[i]->ClassType().Name());
      if (s->Selection().size() == 1 && s->Selection()[0] == all[i]) selected = static_cast<int>(i);
    }
  }
  FComponents->SetItemIndex(selected);
  FRows.clear();
  for (const TInspectorLine& line : Lines()) {
    // A sub-entry shows only while every row above it is open.
    bool shown = true;
    for (std::string p = ParentPath(line.Path); !p.empty(); p = ParentPath(p))
      if (!FOpen.count(p)) shown = false;
    if (!shown) continue;
    TInspectorRow row;
    row.Path = line.Path;
    row.Name = LastPart(line.Path);
    row.Value = line.Value;
    row.Depth = DepthOf(line.Path);
    row.ReadOnly = line.ReadOnly;
    row.Expandable = line.Attributes.Contains(paSubProperties);
    row.ValueList = line.Attributes.Contains(paValueList);
    row.Dialog = line.Attributes.Contains(paDialog);
    FRows.push_back(row);
  }
  FReloading = false;
  FGrid->Invalidate();
}

void TObjectInspector::ReloadValues() {
  std::vector<TInspectorLine> lines = Lines();
  for (TInspectorRow& row : FRows)
    for (const TInspectorLine& line : lines)
      if (line.Path == row.Path) row.Value = line.Value;
  FGrid->Invalidate();
}

void TObjectInspector::ComponentChosen(TObject*) {
  TDesignSession* s = FContext.Current();
  const int index = FComponents->ItemIndex();
  if (!s || index < 0 || FReloading) return;
  TComponent* c = index == 0 ? static_cast<TComponent*>(&s->Form()) : s->Form().Components(index - 1);
  FContext.Select({c});
}

void TObjectInspector::Toggle(const std::string& path) {
  EndEdit(true);
  if (!FOpen.erase(path)) FOpen.insert(path);
  Reload();
}

std::vector<std::string> TObjectInspector::ValuesOf(const std::string& path) const {
  TDesignSession* s = FContext.Current();
  if (!s) return {};
  std::vector<TPersistent*> selection(s->Selection().begin(), s->Selection().end());
  try {
    return FindInspectorEntry(s->Designer(), selection, path)->GetValues();
  } catch (const Exception&) {
    return {};
  }
}

void TObjectInspector::BeginEdit(const std::string& path) {
  if (path == FEditing) return;
  EndEdit(true);
  const auto it = std::find_if(FRows.begin(), FRows.end(), [&](const TInspectorRow& r) { return r.Path == path; });
  if (it == FRows.end()) return;
  FEditing = path;
  const TInspectorRow& row = *it;
  if (row.ReadOnly) {
    // Refused for typing; a dialog row still offers its button.
    if (!row.Dialog) ::MessageBeep(0);
  } else if (row.ValueList) {
    FList->Items()->Clear();
    for (const std::string& v : ValuesOf(path)) FList->Items()->Add(v);
    FList->SetCaption(row.Value);
    FList->SetVisible(true);
  } else {
    FEdit->SetCaption(row.Value);
    FEdit->SetVisible(true);
  }
  PlaceEditor();
  if (TWinControl* editor = Editor(); editor && !row.ReadOnly) {
    editor->SetFocus();
    if (editor == FEdit) FEdit->SelectAll();
  }
  FGrid->Invalidate();
}

void TObjectInspector::PlaceEditor() {
  const auto it = std::find_if(FRows.begin(), FRows.end(), [&](const TInspectorRow& r) { return r.Path == FEditing; });
  if (it == FRows.end()) return;
  const int32_t top = static_cast<int32_t>(it - FRows.begin()) * kInspectorRowHeight;
  RECT client{};
  ::GetClientRect(FGrid->Handle(), &client);
  const int32_t left = FGrid->NameWidth() + 1;
  const int32_t button = it->Dialog ? kInspectorRowHeight : 0;
  const int32_t width = client.right - left - button;
  if (FEdit->Visible()) FEdit->SetBounds(left, top, width, kInspectorRowHeight - 1);
  if (FList->Visible()) FList->SetBounds(left, top - 1, width, 200);
  FEllipsis->SetVisible(it->Dialog);
  if (it->Dialog) FEllipsis->SetBounds(client.right - button, top, button, kInspectorRowHeight - 1);
}

void TObjectInspector::EndEdit(bool commit) {
  if (FEditing.empty()) return;
  const std::string path = FEditing;
  const auto it = std::find_if(FRows.begin(), FRows.end(), [&](const TInspectorRow& r) { return r.Path == path; });
  std::string text;
  bool typed = false;
  if (FEdit->Visible()) text = FEdit->Caption(), typed = true;
  if (FList->Visible()) text = FList->Caption(), typed = true;
  FEditing.clear();
  FEdit->SetVisible(false);
  FList->SetVisible(false);
  FEllipsis->SetVisible(false);
  if (commit && typed && it != FRows.end() && text != it->Value) Commit(path, text);
  FGrid->Invalidate();
}

void TObjectInspector::Commit(const std::string& path, const std::string& text) {
  TDesignSession* s = FContext.Current();
  if (!s) return;
  // A refused value shows its message; the model keeps the old one.
  if (!FContext.Try([&] { s->SetValue(path, text); })) Reload();
}

void TObjectInspector::EditKey(TObject*, uint16_t& key, TShiftState) {
  if (key == VK_RETURN) {
    key = 0;
    EndEdit(true);
  } else if (key == VK_ESCAPE) {
    key = 0;
    EndEdit(false);
  }
}

void TObjectInspector::EllipsisClick(TObject*) {
  const std::string path = FEditing;
  EndEdit(true);
  RunDialog(path);
}

void TObjectInspector::RunDialog(const std::string& path) {
  TDesignSession* s = FContext.Current();
  if (!s) return;
  std::vector<TPersistent*> selection(s->Selection().begin(), s->Selection().end());
  FContext.Try([&] {
    const auto editor = FindInspectorEntry(s->Designer(), selection, path);
    std::string answer;
    if (AskEditorDialog(*editor, answer)) s->SetValue(path, answer);
  });
}

void TObjectInspector::RowDoubleClicked(const std::string& path) {
  TDesignSession* s = FContext.Current();
  if (!s) return;
  EndEdit(true);
  if (EventsShown()) {
    FContext.Try([&] {
      std::vector<TPersistent*> selection(s->Selection().begin(), s->Selection().end());
      const auto editor = FindInspectorEntry(s->Designer(), selection, path);
      if (!editor->GetValue().empty()) return;
      auto* component = dynamic_cast<TComponent*>(editor->GetComponent(0));
      std::string event = editor->GetName();
      if (event.size() > 2 && core::SameText(event.substr(0, 2), "On")) event = event.substr(2);
      s->SetValue(path, (component ? component->Name() : std::string()) + event);
    });
    return;
  }
  const auto it = std::find_if(FRows.begin(), FRows.end(), [&](const TInspectorRow& r) { return r.Path == path; });
  if (it == FRows.end()) return;
  if (it->Dialog) {
    RunDialog(path);
    return;
  }
  if (it->ValueList && !it->ReadOnly) {
    const std::vector<std::string> values = ValuesOf(path);
    if (values.empty()) return;
    auto at = std::find(values.begin(), values.end(), it->Value);
    const std::string next = at == values.end() || at + 1 == values.end() ? values.front() : *(at + 1);
    Commit(path, next);
  }
}

}  // namespace kyt
