// Commands: palette, new, add, set, inspect, test, remove, move and verbs on form files through
// the designer model; reference pages.
#include "tools/kytdesign/Commands.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <sstream>

#include "package/KYTSysReg.h"
#include "host/core/FormFile.h"
#include "host/os/OsSeam.h"
#include "host/rtl/SysUtils.h"
#include "host/vcl/Application.h"
#include "host/design/DesignModel.h"
#include "tools/kytdesign/Reference.h"
#include "tools/kytdesign/ToolFiles.h"

namespace kyt {

namespace {

[[noreturn]] void Refuse(const std::string& message) { throw EDesignCommandError(message); }

void RunCommand(const std::vector<std::string>& args, std::ostream& out);

void NeedArgs(const std::vector<std::string>& args, size_t min, size_t max) {
  if (args.size() < min || args.size() > max) Refuse("wrong number of arguments for '" + args[0] + "'\n" + DesignUsage());
}

// Reads an integer argument.
int32_t Coordinate(const std::string& text) {
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || value < INT32_MIN || value > INT32_MAX)
    Refuse("'" + text + "' is not a whole number");
  return static_cast<int32_t>(value);
}

void Palette(std::ostream& out) {
  for (const char* page : {kKYTPage1, kKYTPage2}) {
    const std::vector<TPaletteEntry> entries = PalettePage(page);
    out << "Page " << page << " (" << entries.size() << " components)\n";
    for (const TPaletteEntry& e : entries) out << "  " << e.ClassName << (e.Available() ? "" : " (not available)") << "\n";
  }
}

// Takes "--inherit ANCESTOR" out of args: the file of the form an inherited form's file builds on.
std::string TakeAncestor(std::vector<std::string>& args) {
  std::string ancestorPath;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] != "--inherit") continue;
    if (i + 1 == args.size() || !ancestorPath.empty()) Refuse("--inherit takes one ancestor's form file\n" + DesignUsage());
    ancestorPath = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    --i;
  }
  return ancestorPath;
}

// The form of FILE, built on its ancestor's form where --inherit named one.
TDesignSession& OpenForm(TDesignModel& model, const std::string& path, const std::string& ancestorPath) {
  if (ancestorPath.empty()) return model.Open(path);
  return model.OpenInherited(path, model.Open(ancestorPath));
}

void New(const std::vector<std::string>& args, const std::string& ancestorPath) {
  NeedArgs(args, 2, 3);
  const std::string& path = args[1];
  const std::string rootClass = args.size() > 2 ? args[2] : "TForm1";
  if (FileExistsNow(path)) Refuse(path + " already exists");
  TDesignModel model;
  if (ancestorPath.empty()) {
    model.New(rootClass).SaveAs(path);
    return;
  }
  if (rootClass.size() < 2 || (rootClass[0] != 'T' && rootClass[0] != 't'))
    Refuse("a form class name starts with T: '" + rootClass + "'");
  TDesignSession& ancestor = model.Open(ancestorPath);
  model.NewInherited(rootClass, ancestor).SaveAs(path);
}

void Add(const std::vector<std::string>& args, std::ostream& out, const std::string& ancestorPath) {
  NeedArgs(args, 3, 4);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  if (args.size() > 3 && args[3].empty()) Refuse("a component needs a name");
  const std::string name = session.Place(args[2], args.size() > 3 ? args[3] : std::string())->Name();
  session.Idle();
  session.Save();
  out << name << "\n";
}

void Set(const std::vector<std::string>& args, const std::string& ancestorPath) {
  NeedArgs(args, 4, 4);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  const size_t dot = args[2].find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == args[2].size())
    Refuse("'" + args[2] + "' is not NAME.PROPERTY");
  session.Select({session.Find(args[2].substr(0, dot))});
  session.SetValue(args[2].substr(dot + 1), args[3]);
  session.Idle();
  session.Save();
}

void Inspect(const std::vector<std::string>& args, std::ostream& out, const std::string& ancestorPath) {
  NeedArgs(args, 3, 1000);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  std::vector<TPersistent*> selection;
  for (size_t i = 2; i < args.size(); ++i) selection.push_back(session.Find(args[i]));
  for (const TInspectorLine& line : InspectorLines(session.Designer(), selection))
    out << line.Path << " = " << line.Value << (line.ReadOnly ? "  (read-only)" : "") << "\n";
}

void Test(const std::vector<std::string>& args, const std::string& ancestorPath) {
  NeedArgs(args, 3, 3);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  session.Select({session.Find(args[2])});
  const std::vector<TDesignVerb> verbs = session.Verbs();
  if (std::none_of(verbs.begin(), verbs.end(), [](const TDesignVerb& v) { return v.Entry == "DesignExecute"; }))
    Refuse(args[2] + " has no execute test");
  for (const TDesignVerb& verb : verbs)
    if (verb.Entry == "DesignExecute") session.RunVerb(verb.Caption);
  session.Idle();
  session.Save();
}

void Remove(const std::vector<std::string>& args, const std::string& ancestorPath) {
  NeedArgs(args, 3, 3);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  TComponent* component = session.Find(args[2]);
  if (component == &session.Form()) Refuse("the form itself cannot be removed");
  session.Select({component});
  session.DeleteSelection();
  session.Idle();
  session.Save();
}

void Move(const std::vector<std::string>& args, const std::string& ancestorPath) {
  NeedArgs(args, 5, 5);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  TComponent* component = session.Find(args[2]);
  session.Move(component, Coordinate(args[3]), Coordinate(args[4]));
  session.Idle();
  session.Save();
}

void Verbs(const std::vector<std::string>& args, std::ostream& out, const std::string& ancestorPath) {
  NeedArgs(args, 3, 1000);
  TDesignModel model;
  TDesignSession& session = OpenForm(model, args[1], ancestorPath);
  std::vector<std::string> names(args.begin() + 2, args.end());
  session.SelectNames(names);
  for (const TDesignVerb& verb : session.Verbs()) out << verb.Caption << "\n";
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
         "  (the commands below take --inherit ANCESTOR too, for a FILE of an inherited form)\n"
         "  add FILE CLASS [NAME]        place a component of the palette on the form\n"
         "  set FILE NAME.PROP VALUE     set a property as the object inspector does\n"
         "                               (dotted sub-properties, Name[i] for collection items)\n"
         "  inspect FILE NAME [NAME...]  show the object inspector's entries\n"
         "  test FILE NAME               run the component's execute test\n"
         "  remove FILE NAME             delete a component from the form\n"
         "  move FILE NAME X Y           put a component at X, Y on the form\n"
         "  verbs FILE NAME [NAME...]    list the designer's verbs for the selection\n"
         "  reference SOURCE DIR         write a Markdown page per palette component and an\n"
         "                               index into DIR (SOURCE: the project's source folder)\n"
         "  reference --check SOURCE DIR fail when DIR does not hold exactly those pages\n";
}

void RunDesignCommand(const std::vector<std::string>& args, std::ostream& out) {
  try {
    RunCommand(args, out);
  } catch (const EDesignError& e) {
    // The designer's refusals are the command's.
    Refuse(e.Message());
  }
}

namespace {

void RunCommand(const std::vector<std::string>& commandArgs, std::ostream& out) {
  if (commandArgs.empty()) Refuse("no command given\n" + DesignUsage());
  Register();
  std::vector<std::string> args = commandArgs;
  const std::string command = args[0];
  const std::string ancestor = command == "reference" ? std::string() : TakeAncestor(args);
  if (command == "palette") {
    NeedArgs(args, 1, 1);
    Palette(out);
  } else if (command == "new") {
    New(args, ancestor);
  } else if (command == "add") {
    Add(args, out, ancestor);
  } else if (command == "set") {
    Set(args, ancestor);
  } else if (command == "inspect") {
    Inspect(args, out, ancestor);
  } else if (command == "test") {
    Test(args, ancestor);
  } else if (command == "remove") {
    Remove(args, ancestor);
  } else if (command == "move") {
    Move(args, ancestor);
  } else if (command == "verbs") {
    Verbs(args, out, ancestor);
  } else if (command == "reference") {
    Reference(args, out);
  } else {
    Refuse("unknown command '" + command + "'\n" + DesignUsage());
  }
}

}  // namespace

}  // namespace kyt
