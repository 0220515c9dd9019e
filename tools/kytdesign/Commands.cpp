// Commands: palette, new, add, set, inspect, test and remove on form files; reference pages.
#include "tools/kytdesign/Commands.h"

#include <memory>
#include <set>
#include <sstream>

#include "package/KYTSysReg.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Application.h"
#include "host/design/DesignForm.h"
#include "tools/kytdesign/Reference.h"
#include "tools/kytdesign/ToolFiles.h"

namespace kyt {

namespace {

[[noreturn]] void Refuse(const std::string& message) { throw EDesignCommandError(message); }

void NeedArgs(const std::vector<std::string>& args, size_t min, size_t max) {
  if (args.size() < min || args.size() > max) Refuse("wrong number of arguments for '" + args[0] + "'\n" + DesignUsage());
}

// One designing session on one form file.
class TSession {
 public:
  // A new designed form.
  TSession(const std::string& rootName, const std::string& rootClass) {
    Make(rootClass, TForm::StaticClass());
    FForm->SetName(rootName);
    FForm->SetCaption(rootName);
  }
  // The designed form of a file.
  explicit TSession(const std::string& path) : FText(ReadWholeFile(path, "form file")), FPath(path) {
    const TFormFileOutline outline = OutlineFormText(FText);
    if (outline.RootClass.empty()) Refuse(path + " is not a form file (no object block)");
    if (FText.find_first_not_of(" \t\r\n\xEF\xBB\xBF") == FText.find("inherited"))
      Refuse(path + " is an inherited form; the tool edits the form it inherits from");
    Make(outline.RootClass, TForm::StaticClass());
    Handlers(FText);
    ReadRootText(*FForm, FText, path);
  }
  // A new form of class rootClass inherited from ancestor's: its components and values.
  TSession(const std::string& rootName, const std::string& rootClass, TSession& ancestor) : FAncestor(&ancestor) {
    Make(rootClass, ancestor.Form().ClassType());
    Handlers(ancestor.FText);
    ReadRootTexts(*FForm, {TFormText{ancestor.FText, ancestor.FPath}});
    FForm->SetName(rootName);
    FForm->SetCaption(rootName);
  }
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  TDesignForm& Form() { return *FForm; }
  TToolDesigner* Designer() { return FDesigner.get(); }

  TComponent* Find(const std::string& name) {
    if (core::SameText(name, FForm->Name())) return FForm.get();
    TComponent* c = FForm->FindComponent(name);
    if (!c) Refuse("there is no component named " + name + " on " + FForm->Name());
    return c;
  }

  // An inherited form keeps only what differs from its ancestor's.
  void Save(const std::string& path) {
    ReplaceFile(path, FAncestor ? WriteComponentText(*FForm, FAncestor->Form()) : WriteComponentText(*FForm));
  }

  // Lets timers, posted messages and hooks of the designed components run, as they would
  // while the form designer is idle.
  void Idle() { Application->ProcessMessages(); }

 private:
  void Make(const std::string& rootClass, const TClassInfo& parent) {
    if (!core::IsValidIdent(rootClass)) Refuse("'" + rootClass + "' is not a valid class name");
    for (const TClassInfo* c = &parent; c; c = c->Parent())
      if (core::SameText(c->Name(), rootClass)) Refuse("the form class " + rootClass + " is its own ancestor");
    FForm = std::make_unique<TDesignForm>(rootClass, parent);
    FDesigner = std::make_unique<TToolDesigner>(FForm.get());
    FForm->HandleNeeded();   // the designed form has a real (hidden) window
  }

  // The handlers the text names become the form's designer methods.
  void Handlers(const std::string& text) {
    for (const auto& [name, signature] : OutlineFormText(text).Handlers) FForm->DesignerMethod(name, signature);
  }

  std::string FText;  // the file read, for a form inherited from this one
  std::string FPath;
  TSession* FAncestor = nullptr;
  std::unique_ptr<TDesignForm> FForm;
  std::unique_ptr<TToolDesigner> FDesigner;
};

// The designer's default name for a new component: the class name without "T" (and the
// package's "KYT"), numbered from 1 with the first number not in use.
std::string UniqueName(TDesignForm& form, const TClassInfo& cls) {
  std::string base = cls.Name();
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base = base.substr(1);
  if (base.size() > 3 && core::SameText(base.substr(0, 3), "KYT")) base = base.substr(3);
  for (int n = 1;; ++n) {
    const std::string name = base + std::to_string(n);
    if (!form.FindComponent(name) && !core::SameText(form.Name(), name)) return name;
  }
}

void Palette(std::ostream& out) {
  for (const char* page : {kKYTPage1, kKYTPage2}) {
    const std::vector<TPaletteEntry> entries = PalettePage(page);
    out << "Page " << page << " (" << entries.size() << " components)\n";
    for (const TPaletteEntry& e : entries) out << "  " << e.ClassName << (e.Available() ? "" : " (not available)") << "\n";
  }
}

void New(const std::vector<std::string>& args) {
  std::vector<std::string> rest{args[0]};
  std::string ancestorPath;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] != "--inherit") {
      rest.push_back(args[i]);
      continue;
    }
    if (i + 1 == args.size() || !ancestorPath.empty()) Refuse("--inherit takes one ancestor's form file\n" + DesignUsage());
    ancestorPath = args[++i];
  }
  NeedArgs(rest, 2, 3);
  const std::string& path = rest[1];
  const std::string rootClass = rest.size() > 2 ? rest[2] : "TForm1";
  if (FileExistsNow(path)) Refuse(path + " already exists");
  if (rootClass.size() < 2 || (rootClass[0] != 'T' && rootClass[0] != 't'))
    Refuse("a form class name starts with T: '" + rootClass + "'");
  if (ancestorPath.empty()) {
    TSession session(rootClass.substr(1), rootClass);
    session.Save(path);
    return;
  }
  TSession ancestor(ancestorPath);
  TSession session(rootClass.substr(1), rootClass, ancestor);
  session.Save(path);
}

void Add(const std::vector<std::string>& args, std::ostream& out) {
  NeedArgs(args, 3, 4);
  TSession session(args[1]);
  const TClassInfo* cls = FindPaletteClass(args[2]);
  if (!cls) {
    for (const TPaletteEntry& e : DesignTables().Palette)
      if (core::SameText(e.ClassName, args[2])) Refuse(e.ClassName + " is not available in this build");
    Refuse(args[2] + " is not a component of the palette");
  }
  if (args.size() > 3 && args[3].empty()) Refuse("a component needs a name");
  TComponent* component = cls->CreateComponent(&session.Form());
  component->SetName(args.size() > 3 ? args[3] : UniqueName(session.Form(), *cls));
  session.Idle();
  session.Save(args[1]);
  out << component->Name() << "\n";
}

void Set(const std::vector<std::string>& args) {
  NeedArgs(args, 4, 4);
  TSession session(args[1]);
  const size_t dot = args[2].find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == args[2].size())
    Refuse("'" + args[2] + "' is not NAME.PROPERTY");
  TComponent* component = session.Find(args[2].substr(0, dot));
  auto editor = FindInspectorEntry(session.Designer(), {component}, args[2].substr(dot + 1));
  InspectorSetText(*editor, args[3]);
  session.Idle();
  session.Save(args[1]);
}

void Inspect(const std::vector<std::string>& args, std::ostream& out) {
  NeedArgs(args, 3, 1000);
  TSession session(args[1]);
  std::vector<TPersistent*> selection;
  for (size_t i = 2; i < args.size(); ++i) selection.push_back(session.Find(args[i]));
  for (const TInspectorLine& line : InspectorLines(session.Designer(), selection))
    out << line.Path << " = " << line.Value << (line.ReadOnly ? "  (read-only)" : "") << "\n";
}

void Test(const std::vector<std::string>& args) {
  NeedArgs(args, 3, 3);
  TSession session(args[1]);
  TComponent* component = session.Find(args[2]);
  std::unique_ptr<TPropertyEditor> editor;
  try {
    editor = FindInspectorEntry(session.Designer(), {component}, "DesignExecute");
  } catch (const EPropertyError&) {
    Refuse(args[2] + " has no execute test");
  }
  editor->Edit();
  session.Idle();
  session.Save(args[1]);
}

void Remove(const std::vector<std::string>& args) {
  NeedArgs(args, 3, 3);
  TSession session(args[1]);
  TComponent* component = session.Find(args[2]);
  if (component == &session.Form()) Refuse("the form itself cannot be removed");
  delete component;
  session.Idle();
  session.Save(args[1]);
}

// The Markdown files of a folder (none when it does not exist).
std::vector<std::string> MarkdownFiles(const std::string& dir) {
  std::vector<std::string> names;
  TSearchRec rec;
  for (int found = FindFirst(dir + "\\*.md", 0, rec); found == 0; found = FindNext(rec)) names.push_back(rec.Name);
  FindClose(rec);
  return names;
}

// Writes the reference pages, or with --check only compares them with what is there: a page
// that differs, is missing or names no component makes the check fail.
void Reference(const std::vector<std::string>& args, std::ostream& out) {
  NeedArgs(args, 3, 4);
  const bool check = args[1] == "--check";
  if (check != (args.size() == 4)) Refuse("wrong arguments for 'reference'\n" + DesignUsage());
  const std::string& source = args[check ? 2 : 1];
  const std::string& dir = args[check ? 3 : 2];
  const std::vector<TReferenceFile> files = MakeReferenceFiles(source);
  std::vector<const TReferenceFile*> stale;
  std::set<std::string> names;
  for (const TReferenceFile& file : files) {
    names.insert(file.Name);
    const std::string path = dir + "\\" + file.Name;
    if (!FileExistsNow(path) || ReadWholeFile(path, "reference page") != file.Text) stale.push_back(&file);
  }
  std::vector<std::string> strays;
  for (const std::string& name : MarkdownFiles(dir))
    if (!names.contains(name)) strays.push_back(name);
  if (check) {
    if (stale.empty() && strays.empty()) {
      out << files.size() << " reference pages are up to date\n";
      return;
    }
    std::string list;
    for (const TReferenceFile* file : stale) list += "\n  " + file->Name;
    for (const std::string& name : strays) list += "\n  " + name + " (no such component)";
    Refuse("the reference pages in " + dir + " are out of date:" + list + "\nwrite them again with: kytdesign reference " +
           source + " " + dir);
  }
  if (!ForceDirectories(dir)) Refuse("cannot create the folder " + dir);
  for (const TReferenceFile* file : stale) ReplaceFile(dir + "\\" + file->Name, file->Text);
  for (const std::string& name : strays) os::kernel32.DeleteFileA((dir + "\\" + name).c_str());
  out << "wrote " << stale.size() << " of " << files.size() << " reference pages";
  if (!strays.empty()) out << ", removed " << strays.size();
  out << "\n";
}

}  // namespace

std::string DesignUsage() {
  return "usage: kytdesign COMMAND ...\n"
         "  palette                      list both palette pages in registration order\n"
         "  new FILE [CLASS]             write a new empty form (class TForm1 unless given)\n"
         "  new FILE --inherit ANCESTOR [CLASS]\n"
         "                               write a new form inherited from the form in ANCESTOR\n"
         "  add FILE CLASS [NAME]        place a component of the palette on the form\n"
         "  set FILE NAME.PROP VALUE     set a property as the object inspector does\n"
         "                               (dotted sub-properties, Name[i] for collection items)\n"
         "  inspect FILE NAME [NAME...]  show the object inspector's entries\n"
         "  test FILE NAME               run the component's execute test\n"
         "  remove FILE NAME             delete a component from the form\n"
         "  reference SOURCE DIR         write a Markdown page per palette component and an\n"
         "                               index into DIR (SOURCE: the project's source folder)\n"
         "  reference --check SOURCE DIR fail when DIR does not hold exactly those pages\n";
}

void RunDesignCommand(const std::vector<std::string>& args, std::ostream& out) {
  if (args.empty()) Refuse("no command given\n" + DesignUsage());
  Register();
  const std::string& command = args[0];
  if (command == "palette") {
    NeedArgs(args, 1, 1);
    Palette(out);
  } else if (command == "new") {
    New(args);
  } else if (command == "add") {
    Add(args, out);
  } else if (command == "set") {
    Set(args);
  } else if (command == "inspect") {
    Inspect(args, out);
  } else if (command == "test") {
    Test(args);
  } else if (command == "remove") {
    Remove(args);
  } else if (command == "reference") {
    Reference(args, out);
  } else {
    Refuse("unknown command '" + command + "'\n" + DesignUsage());
  }
}

}  // namespace kyt
