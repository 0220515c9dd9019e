// DesignModel: sessions, selection, changes as undo steps of the form's text, the clipboard's
// blocks and the atomic save.
#include "host/design/DesignModel.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "host/core/FormFile.h"
#include "host/core/Strings.h"
#include "host/os/Handles.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Application.h"
#include "host/vcl/Controls.h"

namespace kyt {

namespace {

[[noreturn]] void Refuse(const std::string& message) { throw EDesignError(message); }

std::string LastErrorText() { return SysErrorMessage(static_cast<int>(os::kernel32.GetLastError())); }

std::string ReadWhole(const std::string& path) {
  os::UniqueFile file(os::kernel32.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    Refuse("cannot open form file " + path + ": " + LastErrorText());
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!os::kernel32.ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
      Refuse("cannot read form file " + path + ": " + LastErrorText());
    if (read == 0) break;
    text.append(buffer, read);
    if (text.size() > kMaxFormFileSize) throw EReadError(path, 1, 1, "file too large");
  }
  return text;
}

// Writes text to a temporary beside path, then puts it in path's place in one step: the old
// file becomes the backup. Until that step the old file is untouched; after it, the new text
// is the whole file.
void ReplaceWithBackup(const std::string& path, const std::string& text) {
  const std::string temp = path + ".kytdesign-tmp";
  {
    os::UniqueFile file(os::kernel32.CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      file.release();
      Refuse("cannot write " + temp + ": " + LastErrorText());
    }
    size_t done = 0;
    while (done < text.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
      if (!os::kernel32.WriteFile(file.get(), text.data() + done, chunk, &written, nullptr) || written == 0) {
        const std::string why = LastErrorText();
        file.reset();
        os::kernel32.DeleteFileA(temp.c_str());
        Refuse("cannot write " + temp + ": " + why);
      }
      done += written;
    }
    if (!os::kernel32.FlushFileBuffers(file.get())) {
      const std::string why = LastErrorText();
      file.reset();
      os::kernel32.DeleteFileA(temp.c_str());
      Refuse("cannot write " + temp + ": " + why);
    }
  }
  const std::string backup = DesignBackupName(path);
  if (os::kernel32.ReplaceFileA(path.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                nullptr))
    return;
  DWORD error = os::kernel32.GetLastError();
  // No file to replace yet: the temporary takes the name, never over a file made meanwhile.
  if (error == ERROR_FILE_NOT_FOUND && os::kernel32.MoveFileExA(temp.c_str(), path.c_str(), 0)) return;
  if (error == ERROR_FILE_NOT_FOUND) error = os::kernel32.GetLastError();
  // The old file became the backup but the new one did not take its name: give it the name,
  // or else give the old file its name back, so the path never ends up without a file.
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    if (os::kernel32.MoveFileExA(temp.c_str(), path.c_str(), 0)) return;
    os::kernel32.MoveFileExA(backup.c_str(), path.c_str(), 0);
  }
  os::kernel32.DeleteFileA(temp.c_str());
  Refuse("cannot replace " + path + ": " + SysErrorMessage(static_cast<int>(error)));
}

// The property a dotted inspector path ends at, through sub-objects; null past an item.
const TPropInfo* ResolveEntry(const TClassInfo* cls, const std::string& path) {
  const TPropInfo* prop = nullptr;
  std::stringstream in(path);
  std::string part;
  while (std::getline(in, part, '.')) {
    if (!cls || part.find('[') != std::string::npos) return nullptr;
    prop = cls->FindProperty(part);
    if (!prop) return nullptr;
    cls = prop->Kind() == pkClass ? prop->ObjectClass() : nullptr;
  }
  return prop;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// "  object Name: TClass" -> indent 2, name, class; false for other lines.
bool ObjectHeader(const std::string& line, size_t& indent, std::string& name, std::string& cls) {
  indent = line.find_first_not_of(' ');
  if (indent == std::string::npos) return false;
  const std::string rest = line.substr(indent);
  if (!rest.starts_with("object ")) return false;
  const size_t colon = rest.find(':');
  if (colon == std::string::npos) return false;
  name = rest.substr(7, colon - 7);
  cls = rest.substr(colon + 1);
  cls.erase(0, cls.find_first_not_of(' '));
  cls = cls.substr(0, cls.find_first_of(" ["));
  return true;
}

}  // namespace

std::string DesignBackupName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  const size_t dot = path.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? path.substr(0, dot) : path) + ".~kfm";
}

// ---- The selection's watcher: told when a selected component goes.

class TDesignSession::TWatcher : public TComponent {
  KYT_CLASS(TWatcher, TComponent)
 public:
  explicit TWatcher(TDesignSession& session) : TComponent(nullptr), FSession(session) {}

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) FSession.Forget(component);
  }

 private:
  TDesignSession& FSession;
};

// ---- TDesignModel

TDesignModel::~TDesignModel() {
  // Forms inherited from another were opened after it: they go first.
  while (!FSessions.empty()) FSessions.pop_back();
}

TDesignSession& TDesignModel::New(const std::string& className) {
  std::string rootClass = className;
  for (int n = 1; rootClass.empty(); ++n) {
    rootClass = "TForm" + std::to_string(n);
    for (const auto& s : FSessions)
      if (core::SameText(s->FRootClass, rootClass)) rootClass.clear();
  }
  if (rootClass.size() < 2 || (rootClass[0] != 'T' && rootClass[0] != 't'))
    Refuse("a form class name starts with T: '" + rootClass + "'");
  std::unique_ptr<TDesignSession> session(new TDesignSession());
  session->FModel = this;
  session->BuildNew(rootClass.substr(1), rootClass, TForm::StaticClass());
  FSessions.push_back(std::move(session));
  return *FSessions.back();
}

TDesignSession& TDesignModel::NewAt(int32_t left, int32_t top, const std::string& rootClass) {
  TDesignSession& session = New(rootClass);
  session.FForm->SetBounds(left, top, session.FForm->Width(), session.FForm->Height());
  session.FText = WriteComponentText(*session.FForm);
  session.FSavedText = session.FText;
  return session;
}

TDesignSession& TDesignModel::NewInherited(const std::string& rootClass, TDesignSession& ancestor) {
  if (rootClass.size() < 2 || (rootClass[0] != 'T' && rootClass[0] != 't'))
    Refuse("a form class name starts with T: '" + rootClass + "'");
  std::unique_ptr<TDesignSession> session(new TDesignSession());
  session->FModel = this;
  session->FAncestor = &ancestor;
  session->BuildNew(rootClass.substr(1), rootClass, ancestor.Form().ClassType());
  ++ancestor.FDescendants;
  FSessions.push_back(std::move(session));
  return *FSessions.back();
}

TDesignSession& TDesignModel::Open(const std::string& path) {
  for (const auto& s : FSessions)
    if (!s->FFileName.empty() && core::SameText(s->FFileName, path)) return *s;
  std::unique_ptr<TDesignSession> session(new TDesignSession());
  session->FModel = this;
  session->ReadFile(path);
  FSessions.push_back(std::move(session));
  return *FSessions.back();
}

TDesignSession& TDesignModel::OpenInherited(const std::string& path, TDesignSession& ancestor) {
  for (const auto& s : FSessions)
    if (!s->FFileName.empty() && core::SameText(s->FFileName, path)) {
      if (s->FAncestor != &ancestor) Refuse(path + " is open already, not as inherited from " + ancestor.Form().Name());
      return *s;
    }
  std::unique_ptr<TDesignSession> session(new TDesignSession());
  session->FModel = this;
  session->FAncestor = &ancestor;
  session->ReadInheritedFile(path);
  ++ancestor.FDescendants;
  FSessions.push_back(std::move(session));
  return *FSessions.back();
}

void TDesignModel::Close(TDesignSession& session) {
  if (session.FDescendants) Refuse("a form inherited from " + session.Form().Name() + " is still open");
  for (auto it = FSessions.begin(); it != FSessions.end(); ++it) {
    if (it->get() != &session) continue;
    if (session.FAncestor) --session.FAncestor->FDescendants;
    std::unique_ptr<TDesignSession> gone = std::move(*it);
    FSessions.erase(it);
    return;
  }
}

// ---- TDesignSession: building

TDesignSession::TDesignSession() : FWatcher(std::make_unique<TWatcher>(*this)) {}

TDesignSession::~TDesignSession() {
  FSelection.clear();
  FDesigner.reset();
  FForm.reset();
}

void TDesignSession::Build(const std::string& rootClass, const TClassInfo& parent, const std::string& text,
                           const std::string& fileName) {
  if (!core::IsValidIdent(rootClass)) Refuse("'" + rootClass + "' is not a valid class name");
  for (const TClassInfo* c = &parent; c; c = c->Parent())
    if (core::SameText(c->Name(), rootClass)) Refuse("the form class " + rootClass + " is its own ancestor");
  auto form = std::make_unique<TDesignForm>(rootClass, parent);
  auto designer = std::make_unique<TToolDesigner>(form.get());
  form->HandleNeeded();  // the designed form has a real window, hidden until a view shows it
  if (!text.empty()) {
    for (const auto& [name, signature] : OutlineFormText(text).Handlers) form->DesignerMethod(name, signature);
    ReadRootText(*form, text, fileName);
  }
  FRootClass = rootClass;
  FParentClass = &parent;
  FForm = std::move(form);
  FDesigner = std::move(designer);
}

void TDesignSession::BuildNew(const std::string& rootName, const std::string& rootClass, const TClassInfo& parent) {
  Build(rootClass, parent, {}, {});
  if (FAncestor) {
    for (const auto& [name, signature] : OutlineFormText(FAncestor->Text()).Handlers)
      FForm->DesignerMethod(name, signature);
    ReadRootTexts(*FForm, {TFormText{FAncestor->Text(), FAncestor->FileName()}});
  }
  FForm->SetName(rootName);
  FForm->SetCaption(rootName);
  FText = WriteComponentText(*FForm);
  FSavedText = FText;
}

void TDesignSession::ReadFile(const std::string& path) {
  const std::string text = ReadWhole(path);
  const TFormFileOutline outline = OutlineFormText(text);
  if (outline.RootClass.empty()) Refuse(path + " is not a form file (no object block)");
  if (text.find_first_not_of(" \t\r\n\xEF\xBB\xBF") == text.find("inherited"))
    Refuse(path + " is an inherited form: open it with the form it inherits from");
  Build(outline.RootClass, TForm::StaticClass(), text, path);
  FFileName = path;
  FText = WriteComponentText(*FForm);
  FSavedText = FText;
}

void TDesignSession::ReadInheritedFile(const std::string& path) {
  const std::string text = ReadWhole(path);
  const TFormFileOutline outline = OutlineFormText(text);
  if (outline.RootClass.empty()) Refuse(path + " is not a form file (no object block)");
  if (text.find_first_not_of(" \t\r\n\xEF\xBB\xBF") != text.find("inherited"))
    Refuse(path + " is not an inherited form");
  Build(outline.RootClass, FAncestor->Form().ClassType(), {}, {});
  for (const std::string* source : {&FAncestor->Text(), &text})
    for (const auto& [name, signature] : OutlineFormText(*source).Handlers) FForm->DesignerMethod(name, signature);
  ReadRootTexts(*FForm, {TFormText{FAncestor->Text(), FAncestor->FileName()}, TFormText{text, path}});
  FFileName = path;
  FText = WriteComponentText(*FForm);
  FSavedText = FText;
}

// ---- File

void TDesignSession::Save() {
  if (FFileName.empty()) Refuse("the form " + FForm->Name() + " has no file yet: save it as a file");
  SaveAs(FFileName);
}

void TDesignSession::SaveAs(const std::string& path) {
  Refresh();
  ReplaceWithBackup(path, FAncestor ? WriteComponentText(*FForm, FAncestor->Form()) : FText);
  FFileName = path;
  FSavedText = FText;
  Changed();
}

// ---- Components and selection

TComponent* TDesignSession::Find(const std::string& name) {
  if (core::SameText(name, FForm->Name())) return FForm.get();
  TComponent* c = FForm->FindComponent(name);
  if (!c) Refuse("there is no component named " + name + " on " + FForm->Name());
  return c;
}

void TDesignSession::Select(const std::vector<TComponent*>& components) {
  for (TComponent* c : components)
    if (!c || (c != FForm.get() && c->Owner() != FForm.get())) Refuse("only the form's components can be selected");
  for (TComponent* c : FSelection) c->RemoveFreeNotification(FWatcher.get());
  FSelection.clear();
  for (TComponent* c : components) {
    if (std::find(FSelection.begin(), FSelection.end(), c) != FSelection.end()) continue;
    FSelection.push_back(c);
    c->FreeNotification(FWatcher.get());
  }
}

void TDesignSession::SelectNames(const std::vector<std::string>& names) {
  std::vector<TComponent*> components;
  for (const std::string& name : names) components.push_back(Find(name));
  Select(components);
}

void TDesignSession::Forget(TComponent* component) {
  FSelection.erase(std::remove(FSelection.begin(), FSelection.end(), component), FSelection.end());
}

std::string TDesignSession::UniqueName(const TClassInfo& cls, const std::vector<std::string>& taken) const {
  std::string base = cls.Name();
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base = base.substr(1);
  if (base.size() > 3 && core::SameText(base.substr(0, 3), "KYT")) base = base.substr(3);
  for (int n = 1;; ++n) {
    const std::string name = base + std::to_string(n);
    if (FForm->FindComponent(name) || core::SameText(FForm->Name(), name)) continue;
    if (std::none_of(taken.begin(), taken.end(), [&](const std::string& t) { return core::SameText(t, name); }))
      return name;
  }
}

// ---- Changes

void TDesignSession::Change(const std::function<void()>& change) {
  const std::string before = FText;
  try {
    change();
    FText = WriteComponentText(*FForm);
  } catch (...) {
    // Whatever the change did to the form goes: a setter that raised on the second of two
    // selected components leaves the first one changed.
    std::string now;
    try {
      now = WriteComponentText(*FForm);
    } catch (...) {
    }
    if (now != before) Restore(before);
    FText = before;
    throw;
  }
  if (FText == before) return;
  FUndo.push_back({before, FText});
  if (FUndo.size() > kMaxUndoSteps) FUndo.pop_front();
  FRedo.clear();
  Changed();
}

void TDesignSession::Restore(const std::string& text) {
  if (FDescendants) Refuse("a form inherited from " + FForm->Name() + " is open: close it first");
  std::vector<std::string> names;
  for (TComponent* c : FSelection) names.push_back(c->Name());
  const std::string current = WriteComponentText(*FForm);
  const std::string rootName = FForm->Name();
  ClearSelection();
  // The old form goes before the new one is read: a one-per-process component on it must be
  // gone before its copy is created.
  FDesigner.reset();
  FForm.reset();
  const std::string source = FFileName.empty() ? FRootClass : FFileName;
  try {
    Build(FRootClass, *FParentClass, text, source);
  } catch (...) {
    try {
      Build(FRootClass, *FParentClass, current, source);
    } catch (...) {
      // The form's own text does not read back (a component refuses a value it wrote): the
      // session keeps an empty form rather than none; the file and the history stay.
      Build(FRootClass, *FParentClass, {}, source);
      FForm->SetName(rootName);
    }
    FText = WriteComponentText(*FForm);
    throw;
  }
  FText = WriteComponentText(*FForm);
  std::vector<TComponent*> keep;
  for (const std::string& name : names) {
    if (core::SameText(name, FForm->Name())) keep.push_back(FForm.get());
    else if (TComponent* c = FForm->FindComponent(name)) keep.push_back(c);
  }
  Select(keep);
}

void TDesignSession::Changed() {
  if (OnChange) OnChange();
}

TComponent* TDesignSession::Place(const std::string& className, const std::string& name) {
  return PlaceAt(className, name, nullptr);
}

TComponent* TDesignSession::Place(const std::string& className, int32_t x, int32_t y, const std::string& name) {
  const int32_t at[2] = {x, y};
  return PlaceAt(className, name, at);
}

TComponent* TDesignSession::PlaceAt(const std::string& className, const std::string& name, const int32_t* at) {
  const TClassInfo* cls = FindPaletteClass(className);
  if (!cls) {
    for (const TPaletteEntry& e : DesignTables().Palette)
      if (core::SameText(e.ClassName, className)) Refuse(e.ClassName + " is not available in this build");
    Refuse(className + " is not a component of the palette");
  }
  if (!name.empty() && (FForm->FindComponent(name) || core::SameText(FForm->Name(), name)))
    Refuse("A component named " + name + " already exists");
  std::string placedName;
  Change([&] {
    // A constructor that raises (a second one-per-process component) leaves nothing behind.
    TComponent* component = cls->CreateComponent(FForm.get());
    try {
      component->SetName(name.empty() ? UniqueName(*cls) : name);
      if (auto* control = dynamic_cast<TControl*>(component)) {
        control->SetParent(FForm.get());
        if (at) control->SetBounds(at[0], at[1], control->Width(), control->Height());
      } else if (at) {
        component->SetDesignPosition(at[0], at[1]);
      }
    } catch (...) {
      FreeComponent(component);
      throw;
    }
    placedName = component->Name();
  });
  TComponent* placed = FForm->FindComponent(placedName);
  Select({placed});
  return placed;
}

void TDesignSession::Move(TComponent* component, int32_t x, int32_t y) {
  Select({component});
  Change([&] {
    if (auto* control = dynamic_cast<TControl*>(component))
      control->SetBounds(x, y, control->Width(), control->Height());
    else
      component->SetDesignPosition(x, y);
  });
}

void TDesignSession::MoveSelection(int32_t dx, int32_t dy) {
  if (!dx && !dy) return;
  Change([&] {
    for (TComponent* c : FSelection) {
      if (c == FForm.get()) continue;
      if (auto* control = dynamic_cast<TControl*>(c)) {
        control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
      } else {
        const auto at = c->DesignPosition();
        c->SetDesignPosition(at.Left + dx, at.Top + dy);
      }
    }
  });
}

void TDesignSession::SetBounds(TComponent* component, int32_t left, int32_t top, int32_t width, int32_t height) {
  auto* control = dynamic_cast<TControl*>(component);
  if (!control || control == FForm.get()) Refuse(component->Name() + " has no size to set on the form");
  Select({component});
  Change([&] { control->SetBounds(left, top, std::max(width, 1), std::max(height, 1)); });
}

void TDesignSession::SelectAll() {
  std::vector<TComponent*> all;
  for (int i = 0; i < FForm->ComponentCount(); ++i) all.push_back(FForm->Components(i));
  if (all.empty()) all.push_back(FForm.get());
  Select(all);
}

void TDesignSession::DeleteSelection() {
  for (TComponent* c : FSelection)
    if (c == FForm.get()) Refuse("the form itself cannot be deleted");
  Change([&] {
    // Freeing one may free others (a control's children): each leaves the selection as it goes.
    while (!FSelection.empty()) {
      TComponent* component = FSelection.back();
      Forget(component);
      FreeComponent(component);
    }
  });
}

std::string TDesignSession::CopySelection() const {
  std::set<std::string, bool (*)(const std::string&, const std::string&)> names(
      [](const std::string& a, const std::string& b) { return core::CompareText(a, b) < 0; });
  for (TComponent* c : FSelection)
    if (c != FForm.get()) names.insert(c->Name());
  std::string out;
  const std::vector<std::string> lines = Lines(FText);
  for (size_t i = 1; i < lines.size(); ++i) {
    size_t indent = 0;
    std::string name, cls;
    if (!ObjectHeader(lines[i], indent, name, cls) || !names.contains(name)) continue;
    // The block runs to the end at its own indentation; its nested blocks come along.
    const std::string end = std::string(indent, ' ') + "end";
    for (; i < lines.size(); ++i) {
      out += lines[i].substr(std::min(indent, lines[i].find_first_not_of(' '))) + "\r\n";
      if (lines[i] == end) break;
    }
  }
  return out;
}

std::string TDesignSession::CutSelection() {
  const std::string text = CopySelection();
  DeleteSelection();
  return text;
}

std::vector<TComponent*> TDesignSession::Paste(const std::string& text) {
  // Names made unique: the form's, then those the paste took already.
  std::vector<std::string> pasted, top, taken;
  std::string blocks;
  for (const std::string& line : Lines(text)) {
    size_t indent = 0;
    std::string name, cls;
    std::string out = line;
    if (ObjectHeader(line, indent, name, cls)) {
      const bool clash = FForm->FindComponent(name) || core::SameText(FForm->Name(), name) ||
                         std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return core::SameText(t, name); });
      if (clash) {
        const TClassInfo* info = FindClass(cls);
        const std::string fresh = info ? UniqueName(*info, taken) : UniqueName(TComponent::StaticClass(), taken);
        out = line.substr(0, indent) + "object " + fresh + line.substr(line.find(':'));
        name = fresh;
      }
      taken.push_back(name);
      if (indent == 0) top.push_back(name);
    }
    blocks += "  " + out + "\r\n";
  }
  if (top.empty()) Refuse("the clipboard holds no component");
  // The blocks go before the form's last end; a reading error is told in the clipboard's lines.
  const std::vector<std::string> formLines = Lines(FText);
  std::string merged;
  for (size_t i = 0; i + 1 < formLines.size(); ++i) merged += formLines[i] + "\r\n";
  merged += blocks + formLines.back() + "\r\n";
  const int offset = static_cast<int>(formLines.size()) - 1;
  Change([&] {
    try {
      Restore(merged);
    } catch (const EReadError& e) {
      if (e.Line() > offset)
        throw EReadError("clipboard", e.Line() - offset, std::max(1, e.Column() - 2), e.Reason());
      throw;
    }
    for (const std::string& name : top) {
      TComponent* c = FForm->FindComponent(name);
      if (!c) continue;
      if (auto* control = dynamic_cast<TControl*>(c)) {
        control->SetBounds(control->Left() + kPasteOffset, control->Top() + kPasteOffset, control->Width(),
                           control->Height());
      } else {
        const auto at = c->DesignPosition();
        c->SetDesignPosition(at.Left + kPasteOffset, at.Top + kPasteOffset);
      }
    }
  });
  std::vector<TComponent*> components;
  for (const std::string& name : top)
    if (TComponent* c = FForm->FindComponent(name)) components.push_back(c);
  Select(components);
  return components;
}

// ---- Inspector

namespace {

std::vector<TPersistent*> AsPersistents(const std::vector<TComponent*>& components) {
  return std::vector<TPersistent*>(components.begin(), components.end());
}

}  // namespace

std::vector<TInspectorLine> TDesignSession::Properties() {
  std::vector<TInspectorLine> out;
  if (FSelection.empty()) return out;
  for (TInspectorLine& line : InspectorLines(FDesigner.get(), AsPersistents(FSelection))) {
    const TPropInfo* prop = ResolveEntry(&FSelection[0]->ClassType(), line.Path);
    if (!prop || prop->Kind() != pkEvent) out.push_back(std::move(line));
  }
  return out;
}

std::vector<TInspectorLine> TDesignSession::Events() {
  std::vector<TInspectorLine> out;
  if (FSelection.empty()) return out;
  for (TInspectorLine& line : InspectorLines(FDesigner.get(), AsPersistents(FSelection))) {
    const TPropInfo* prop = ResolveEntry(&FSelection[0]->ClassType(), line.Path);
    if (prop && prop->Kind() == pkEvent) out.push_back(std::move(line));
  }
  return out;
}

void TDesignSession::SetValue(const std::string& path, const std::string& text) {
  if (FSelection.empty()) Refuse("nothing is selected");
  Change([&] {
    auto editor = FindInspectorEntry(FDesigner.get(), AsPersistents(FSelection), path);
    InspectorSetText(*editor, text);
  });
}

// ---- Verbs

std::vector<TDesignVerb> TDesignSession::Verbs() {
  std::vector<TDesignVerb> verbs;
  if (FSelection.empty()) return verbs;
  // An action entry: a dialog and nothing to type or unfold. The about entry's text names the
  // component collection, so its verb is called after the entry; the others by their text.
  for (const auto& editor : GetComponentProperties(FDesigner.get(), AsPersistents(FSelection))) {
    const TPropertyAttributes attrs = editor->GetAttributes();
    if (!attrs.Contains(paDialog) || !attrs.Contains(paReadOnly) || attrs.Contains(paSubProperties) ||
        editor->HasTextDialog())
      continue;
    std::string caption = editor->GetValue();
    if (caption.size() > 2 && caption.front() == '(' && caption.back() == ')') caption = caption.substr(1, caption.size() - 2);
    if (core::SameText(editor->GetName(), "About")) caption = "About";
    verbs.push_back({caption, editor->GetName()});
  }
  const bool components = std::any_of(FSelection.begin(), FSelection.end(), [&](TComponent* c) { return c != FForm.get(); });
  if (components)
    for (const char* own : {"Delete", "Cut", "Copy"}) verbs.push_back({own, {}});
  verbs.push_back({"Paste", {}});
  return verbs;
}

void TDesignSession::RunVerb(const std::string& caption) {
  for (const TDesignVerb& verb : Verbs()) {
    if (!core::SameText(verb.Caption, caption)) continue;
    if (!verb.Entry.empty()) {
      Change([&] { FindInspectorEntry(FDesigner.get(), AsPersistents(FSelection), verb.Entry)->Edit(); });
    } else if (verb.Caption == "Delete") {
      DeleteSelection();
    } else if (verb.Caption == "Cut") {
      FModel->SetClipboard(CutSelection());
    } else if (verb.Caption == "Copy") {
      FModel->SetClipboard(CopySelection());
    } else {
      Paste(FModel->Clipboard());
    }
    return;
  }
  Refuse("there is no verb " + caption + " for the selection");
}

// ---- Undo and redo

void TDesignSession::Undo() {
  if (FUndo.empty()) return;
  const TStep step = FUndo.back();
  Restore(step.Before);
  FUndo.pop_back();
  FRedo.push_back(step);
  Changed();
}

void TDesignSession::Redo() {
  if (FRedo.empty()) return;
  const TStep step = FRedo.back();
  Restore(step.After);
  FRedo.pop_back();
  FUndo.push_back(step);
  Changed();
}

void TDesignSession::Idle() {
  Application->ProcessMessages();
  Refresh();
}

void TDesignSession::Refresh() {
  // What the designed components did on their own (a timer, a hooked message) is the form's
  // state now; it is saved, and the next undo step starts from it.
  const std::string now = WriteComponentText(*FForm);
  if (now == FText) return;
  FText = now;
  Changed();
}

}  // namespace kyt
