// DesignerWindow: menu, palette and the file commands of the designer's main window.
#include "tools/designer/DesignerWindow.h"


#include "host/core/TextCompare.h"
#include "host/design/Designer.h"
#include "host/vcl/Dialogs.h"

namespace kyt {

namespace {

constexpr int32_t kTabsHeight = 24;
constexpr const char* kFormFilter = "Form files (*.kfm)|*.kfm|All files (*.*)|*.*";

std::string WithoutAmpersand(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
  return s;
}

}  // namespace

TDesignerWindow::TDesignerWindow(TComponent* owner, TDesignerContext& context) : TForm(owner), FContext(context) {
  SetCaption("KYT form designer");
  SetBounds(0, 0, 1280, 120);
  SetShowHint(true);
  BuildMenu();
  FTabs = new TTabControl(this);
  FTabs->SetParent(this);
  FTabs->SetBounds(4, 4, 1264, kTabsHeight + kPaletteButton + 10);
  for (const std::string& page : Pages()) FTabs->Tabs()->Add(page);
  FTabs->SetTabIndex(0);
  FTabs->SetOnChange(TNotifyEvent::Bind<&TDesignerWindow::PageChanged>(this));
  FArrow = new TSpeedButton(this);
  FArrow->SetParent(FTabs);
  FArrow->SetBounds(4, kTabsHeight + 4, kPaletteButton, kPaletteButton);
  FArrow->SetCaption("Sel");  // takes the palette's choice back
  FArrow->SetHint("Select");
  FArrow->SetOnClick(TNotifyEvent::Bind<&TDesignerWindow::ArrowClick>(this));
  BuildPage();
  FContext.Subscribe(this);
  UpdateCaption();
}

TDesignerWindow::~TDesignerWindow() { FContext.Unsubscribe(this); }

// ---- Menu

TMenuItem* TDesignerWindow::AddItem(TMenuItem* parent, const std::string& caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(this);
  item->SetCaption(caption);
  item->SetOnClick(onClick);
  parent->Add(item);
  return item;
}

void TDesignerWindow::BuildMenu() {
  FMenu = new TMainMenu(this);
  auto* file = AddItem(FMenu->Items(), "&File", {});
  AddItem(file, "&New", TNotifyEvent::Bind<&TDesignerWindow::FileNew>(this));
  AddItem(file, "&Open...", TNotifyEvent::Bind<&TDesignerWindow::FileOpen>(this));
  AddItem(file, "&Save", TNotifyEvent::Bind<&TDesignerWindow::FileSave>(this));
  AddItem(file, "Save &As...", TNotifyEvent::Bind<&TDesignerWindow::FileSaveAs>(this));
  AddItem(file, "&Close", TNotifyEvent::Bind<&TDesignerWindow::FileClose>(this));
  AddItem(file, "-", {});
  AddItem(file, "E&xit", TNotifyEvent::Bind<&TDesignerWindow::FileExit>(this));
  auto* edit = AddItem(FMenu->Items(), "&Edit", {});
  AddItem(edit, "&Undo\tCtrl+Z", TNotifyEvent::Bind<&TDesignerWindow::EditUndo>(this));
  AddItem(edit, "&Redo\tCtrl+Y", TNotifyEvent::Bind<&TDesignerWindow::EditRedo>(this));
  AddItem(edit, "-", {});
  AddItem(edit, "Cu&t\tCtrl+X", TNotifyEvent::Bind<&TDesignerWindow::EditCut>(this));
  AddItem(edit, "&Copy\tCtrl+C", TNotifyEvent::Bind<&TDesignerWindow::EditCopy>(this));
  AddItem(edit, "&Paste\tCtrl+V", TNotifyEvent::Bind<&TDesignerWindow::EditPaste>(this));
  AddItem(edit, "&Delete\tDel", TNotifyEvent::Bind<&TDesignerWindow::EditDelete>(this));
  AddItem(edit, "Select &All\tCtrl+A", TNotifyEvent::Bind<&TDesignerWindow::EditSelectAll>(this));
  FComponentMenu = AddItem(FMenu->Items(), "&Component", {});
  SetMenu(FMenu);
  RebuildVerbs();
}

TMenuItem* TDesignerWindow::MenuItem(const std::string& path) const {
  TMenuItem* at = FMenu->Items();
  size_t start = 0;
  while (at && start <= path.size()) {
    const size_t bar = path.find('|', start);
    const std::string part = path.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    TMenuItem* found = nullptr;
    for (int i = 0; i < at->Count() && !found; ++i) {
      std::string caption = WithoutAmpersand(at->Items(i)->Caption());
      caption = caption.substr(0, caption.find('\t'));
      if (core::SameText(caption, part) || core::SameText(caption, part + "...")) found = at->Items(i);
    }
    at = found;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return at;
}

void TDesignerWindow::RebuildVerbs() {
  FComponentMenu->Clear();
  FVerbs.clear();
  if (TDesignSession* s = FContext.Current(); s && !s->Selection().empty()) FVerbs = s->Verbs();
  for (size_t i = 0; i < FVerbs.size(); ++i) {
    TMenuItem* item = AddItem(FComponentMenu, FVerbs[i].Caption, TNotifyEvent::Bind<&TDesignerWindow::VerbClick>(this));
    item->SetTag(static_cast<int32_t>(i));
  }
  FComponentMenu->SetEnabled(!FVerbs.empty());
}

void TDesignerWindow::VerbClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(static_cast<TComponent*>(sender));
  TDesignSession* s = FContext.Current();
  if (!item || !s || item->Tag() < 0 || static_cast<size_t>(item->Tag()) >= FVerbs.size()) return;
  const TDesignVerb verb = FVerbs[static_cast<size_t>(item->Tag())];
  if (verb.Entry.empty()) {
    if (verb.Caption == "Delete") EditDelete(nullptr);
    else if (verb.Caption == "Cut") EditCut(nullptr);
    else if (verb.Caption == "Copy") EditCopy(nullptr);
    else if (verb.Caption == "Paste") EditPaste(nullptr);
    return;
  }
  FContext.Try([&] { s->RunVerb(verb.Caption); });
}

// ---- Palette

std::vector<std::string> TDesignerWindow::Pages() const {
  std::vector<std::string> pages{kStandardPage};
  for (const TPaletteEntry& e : DesignTables().Palette)
    if (std::find(pages.begin(), pages.end(), e.Page) == pages.end()) pages.push_back(e.Page);
  return pages;
}

void TDesignerWindow::ShowPage(const std::string& page) {
  const std::vector<std::string> pages = Pages();
  const auto it = std::find(pages.begin(), pages.end(), page);
  if (it == pages.end()) return;
  FTabs->SetTabIndex(static_cast<int32_t>(it - pages.begin()));
  BuildPage();
}

void TDesignerWindow::BuildPage() {
  for (TSpeedButton* b : FButtons) delete b;
  FButtons.clear();
  const std::vector<std::string> pages = Pages();
  const int index = FTabs->TabIndex();
  if (index < 0 || index >= static_cast<int>(pages.size())) return;
  int32_t x = 8 + kPaletteButton;
  for (const TPaletteEntry& entry : PalettePage(pages[static_cast<size_t>(index)])) {
    auto* button = new TSpeedButton(this);
    button->SetParent(FTabs);
    button->SetBounds(x, kTabsHeight + 4, kPaletteButton, kPaletteButton);
    button->SetHint(entry.ClassName);
    try {
      button->SetGlyphResource(PaletteBitmapName(entry.ClassName));
    } catch (const Exception&) {
      button->SetCaption(entry.ClassName.substr(0, 3));  // a class whose bitmap is not in this executable
    }
    button->SetEnabled(entry.Available());
    button->SetOnClick(TNotifyEvent::Bind<&TDesignerWindow::PaletteClick>(this));
    FButtons.push_back(button);
    x += kPaletteButton + 1;
  }
}

void TDesignerWindow::PageChanged(TObject*) { BuildPage(); }

void TDesignerWindow::PaletteClick(TObject* sender) {
  for (TSpeedButton* b : FButtons)
    if (static_cast<TObject*>(b) == sender) FContext.SetPendingClass(b->Hint());
}

void TDesignerWindow::ArrowClick(TObject*) { FContext.SetPendingClass({}); }

// ---- News

void TDesignerWindow::DesignerNews(TDesignerNews news) {
  if (news == TDesignerNews::Palette) return;
  RebuildVerbs();
  UpdateCaption();
}

void TDesignerWindow::UpdateCaption() {
  TDesignSession* s = FContext.Current();
  std::string caption = "KYT form designer";
  if (s) caption += " - " + (s->FileName().empty() ? s->Form().Name() : s->FileName()) + (s->Modified() ? " *" : "");
  if (caption != Caption()) SetCaption(caption);
}

// ---- File

void TDesignerWindow::NewForm() {
  FContext.Try([&] {
    FContext.Adopt(FContext.Model().NewAt(kFormLeft, kFormTop));
  });
}

void TDesignerWindow::OpenForm(const std::string& path) {
  FContext.Try([&] { FContext.Adopt(FContext.Model().Open(path)); });
}

bool TDesignerWindow::SaveForm() {
  TDesignSession* s = FContext.Current();
  if (!s) return false;
  if (s->FileName().empty()) {
    TSaveDialog dialog(nullptr);
    dialog.SetFilter(kFormFilter);
    dialog.SetDefaultExt("kfm");
    dialog.SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
    if (!dialog.Execute()) return false;
    return SaveFormAs(dialog.FileName());
  }
  const bool saved = FContext.Try([&] { s->Save(); });
  UpdateCaption();
  return saved;
}

bool TDesignerWindow::SaveFormAs(const std::string& path) {
  TDesignSession* s = FContext.Current();
  if (!s) return false;
  const bool saved = FContext.Try([&] { s->SaveAs(path); });
  UpdateCaption();
  return saved;
}

bool TDesignerWindow::AskToSave(TDesignSession& session) {
  if (!session.Modified()) return true;
  FContext.SetCurrent(&session);
  const std::string name = session.FileName().empty() ? session.Form().Name() : session.FileName();
  const int answer = MessageDlg("Save changes to " + name + "?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0);
  if (answer == mrCancel) return false;
  if (answer == mrNo) return true;
  return SaveForm();
}

bool TDesignerWindow::CloseForm() {
  TDesignSession* s = FContext.Current();
  if (!s) return true;
  if (!AskToSave(*s)) return false;
  return FContext.Try([&] { FContext.Close(*s); });
}

bool TDesignerWindow::CloseAll() {
  // Inherited forms first: the forms they build on cannot close before them.
  while (!FContext.Model().Sessions().empty()) {
    FContext.SetCurrent(FContext.Model().Sessions().back().get());
    if (!CloseForm()) return false;
  }
  return true;
}

bool TDesignerWindow::CloseQuery() { return TForm::CloseQuery() && CloseAll(); }

void TDesignerWindow::FileNew(TObject*) { NewForm(); }

void TDesignerWindow::FileOpen(TObject*) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(kFormFilter);
  dialog.SetOptions(TOpenOptions{ofFileMustExist, ofHideReadOnly});
  if (dialog.Execute()) OpenForm(dialog.FileName());
}

void TDesignerWindow::FileSave(TObject*) { SaveForm(); }

void TDesignerWindow::FileSaveAs(TObject*) {
  if (!FContext.Current()) return;
  TSaveDialog dialog(nullptr);
  dialog.SetFilter(kFormFilter);
  dialog.SetDefaultExt("kfm");
  dialog.SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});
  if (dialog.Execute()) SaveFormAs(dialog.FileName());
}

void TDesignerWindow::FileClose(TObject*) { CloseForm(); }
void TDesignerWindow::FileExit(TObject*) { Close(); }

// ---- Edit

void TDesignerWindow::EditUndo(TObject*) {
  if (TDesignSession* s = FContext.Current(); s && s->CanUndo()) FContext.Try([&] { s->Undo(); });
}
void TDesignerWindow::EditRedo(TObject*) {
  if (TDesignSession* s = FContext.Current(); s && s->CanRedo()) FContext.Try([&] { s->Redo(); });
}
void TDesignerWindow::EditCut(TObject*) {
  if (TDesignSession* s = FContext.Current()) FContext.Try([&] { FContext.Model().SetClipboard(s->CutSelection()); });
}
void TDesignerWindow::EditCopy(TObject*) {
  if (TDesignSession* s = FContext.Current()) FContext.Model().SetClipboard(s->CopySelection());
}
void TDesignerWindow::EditPaste(TObject*) {
  if (TDesignSession* s = FContext.Current()) FContext.Try([&] { s->Paste(FContext.Model().Clipboard()); });
}
void TDesignerWindow::EditDelete(TObject*) {
  if (TDesignSession* s = FContext.Current()) FContext.Try([&] { s->DeleteSelection(); });
}
void TDesignerWindow::EditSelectAll(TObject*) {
  if (TDesignSession* s = FContext.Current()) {
    s->SelectAll();
    FContext.Tell(TDesignerNews::Selection);
  }
}

}  // namespace kyt
