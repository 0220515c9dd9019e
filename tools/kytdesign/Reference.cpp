// Reference: Markdown pages from the class tables and the header outlines.
#include "tools/kytdesign/Reference.h"

#include <algorithm>
#include <cctype>
#include <list>
#include <map>
#include <set>
#include <utility>

#include "host/design/Designer.h"
#include "host/rtl/SysUtils.h"
#include "package/KYTSysReg.h"
#include "tools/kytdesign/Commands.h"
#include "tools/kytdesign/HeaderOutline.h"
#include "tools/kytdesign/SourceExamples.h"
#include "tools/kytdesign/ToolFiles.h"

namespace kyt {

namespace {

// A file or folder of the source tree, from its name relative to the source folder with '/'.
std::string SourcePath(const std::string& sourceDir, const std::string& relative) {
  std::string path = sourceDir + "\\";
  for (char c : relative) path += c == '/' ? '\\' : c;
  return path;
}

// A class as its header declares it.
struct TClassSource {
  const TDeclaredClass* Declared = nullptr;
  std::string Header;         // relative to the source folder, with '/'
  std::string HeaderComment;  // the header's opening comment
  size_t ClassesInHeader = 0;
  bool Package = false;  // one of the package's classes, not the component model's
};

// Every class the package's headers and the component model's define, by name.
class TSourceIndex {
 public:
  explicit TSourceIndex(const std::string& sourceDir) {
    for (const std::string& folder : ReferenceSourceFolders()) AddFolder(sourceDir, folder, true);
    for (const std::string& folder : ReferenceBaseFolders()) AddFolder(sourceDir, folder, false);
  }
  const TClassSource* Find(const std::string& className) const {
    auto it = FClasses.find(className);
    return it == FClasses.end() ? nullptr : &it->second;
  }

 private:
  void AddFolder(const std::string& sourceDir, const std::string& folder, bool package) {
    TSearchRec rec;
    const std::string dir = SourcePath(sourceDir, folder) + "\\";
    for (int found = FindFirst(dir + "*.h", 0, rec); found == 0; found = FindNext(rec))
      Add(folder + "/" + rec.Name, ReadWholeFile(dir + rec.Name, "header"), package);
    FindClose(rec);
  }
  void Add(const std::string& header, const std::string& text, bool package) {
    const THeaderOutline& outline = FOutlines.emplace_back(OutlineHeader(text));
    for (const TDeclaredClass& cls : outline.Classes)
      FClasses.try_emplace(cls.Name, TClassSource{&cls, header, outline.Comment, outline.Classes.size(), package});
  }
  std::list<THeaderOutline> FOutlines;  // stable addresses for FClasses
  std::map<std::string, TClassSource> FClasses;
};

// The marked examples of the example folders' sources, by component. Files are named relative
// to the source folder, with '/'.
class TExampleIndex {
 public:
  TExampleIndex(const std::string& sourceDir, std::vector<std::string>& problems) : FProblems(problems) {
    for (const std::string& folder : ReferenceExampleFolders()) AddFolder(sourceDir, folder);
  }
  const TSourceExample* Find(const std::string& className) const {
    auto it = FExamples.find(className);
    return it == FExamples.end() ? nullptr : &it->second;
  }
  const std::map<std::string, TSourceExample>& All() const { return FExamples; }

 private:
  void AddFolder(const std::string& sourceDir, const std::string& folder) {
    TSearchRec rec;
    const std::string dir = SourcePath(sourceDir, folder);
    std::vector<std::string> files, folders;
    for (int found = FindFirst(dir + "\\*", faDirectory, rec); found == 0; found = FindNext(rec)) {
      if (rec.Name == "." || rec.Name == "..") continue;
      if (rec.Attr & faDirectory) folders.push_back(rec.Name);
      else if (rec.Name.ends_with(".cpp") || rec.Name.ends_with(".h")) files.push_back(rec.Name);
    }
    FindClose(rec);
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : files) {
      const std::string file = folder + "/" + name;
      for (TSourceExample& example :
           FindSourceExamples(ReadWholeFile(dir + "\\" + name, "source file"), file, FProblems)) {
        const auto [it, added] = FExamples.try_emplace(example.ClassName, example);
        if (!added)
          FProblems.push_back(file + ":" + std::to_string(example.Line) + ": a second reference example of " +
                              example.ClassName + " (the first is in " + it->second.File + "); mark one only");
      }
    }
    for (const std::string& name : folders) AddFolder(sourceDir, folder + "/" + name);
  }
  std::vector<std::string>& FProblems;
  std::map<std::string, TSourceExample> FExamples;
};

// Table cells: '|' would end the cell, '<' could start markup.
std::string Cell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|') out += "\\|";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out.empty() ? "&nbsp;" : out;
}

std::string Code(const std::string& text) {
  std::string out = "`";
  for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
  return out + "`";
}

bool StoredWhenNotEmpty(TPropKind kind) {
  return kind == pkStrings || kind == pkCollection || kind == pkBinary || kind == pkComponentRef || kind == pkEvent;
}

// When the form writer stores the property, in words.
std::string StoredText(const TPropInfo& prop) {
  const std::string notEmpty = prop.Kind() == pkEvent   ? "when assigned"
                               : prop.Kind() == pkFloat ? "when not 0"
                                                        : "when not empty";
  switch (prop.StoredRule()) {
    case TStored::Never:
      return "never";
    case TStored::Always:
      return "always";
    case TStored::WhenNotDefault:
      return prop.HasDefault() ? "when not the default" : notEmpty;
    case TStored::Auto:
      break;
  }
  const std::string rule = prop.HasDefault() ? "when not the default"
                           : StoredWhenNotEmpty(prop.Kind()) || prop.Kind() == pkFloat ? notEmpty
                                                             : "always";
  if (!prop.HasStoredCondition()) return rule;
  return "when the component's settings call for it" + (rule == "always" ? std::string() : ", then " + rule);
}

std::string TypeText(const TPropInfo& prop) {
  if (!prop.TypeName().empty()) return prop.TypeName();
  return prop.ObjectClass() ? prop.ObjectClass()->Name() : std::string("?");
}

// The class and its ancestors that the headers define, the class first; with packageOnly only
// the package's own.
std::vector<const TClassSource*> SourceChain(const TClassInfo& cls, const TSourceIndex& sources,
                                             bool packageOnly) {
  std::vector<const TClassSource*> chain;
  for (const TClassInfo* c = &cls; c; c = c->Parent())
    if (const TClassSource* source = sources.Find(c->Name()); source && (source->Package || !packageOnly))
      chain.push_back(source);
  return chain;
}

// Where a published member is described: the entry of the nearest Publish function of the
// chain that publishes it, with the class that has it; null when no Publish names it.
std::pair<const TPublishedMember*, const TClassSource*> PublishedEntry(const TPropInfo& prop,
                                                                        const std::vector<const TClassSource*>& chain) {
  for (const TClassSource* source : chain)
    for (const TPublishedMember& member : source->Declared->Published)
      if (member.Name == prop.Name()) return {&member, source};
  return {nullptr, nullptr};
}

std::string MemberDescription(const TPropInfo& prop, const std::vector<const TClassSource*>& chain) {
  const TPublishedMember* member = PublishedEntry(prop, chain).first;
  return member ? member->Comment : std::string();
}

// An event's type as its getter declares it ("TNotifyEvent"); the table only knows TMethod.
std::string EventTypeText(const TPropInfo& prop, const std::vector<const TClassSource*>& chain) {
  for (const TClassSource* source : chain) {
    for (const TDeclaredFunction& f : source->Declared->Functions) {
      if (f.Name != prop.Name()) continue;
      std::string type = f.ReturnType;
      if (type.starts_with("const ")) type.erase(0, 6);
      if (type.ends_with('&')) type.pop_back();
      return type;
    }
  }
  return TypeText(prop);
}

// The declared default as the inspector shows it; blank without one (or for a string default,
// which the tables do not hand out as text).
std::string DefaultText(const TPropInfo& prop) {
  const std::string text = prop.HasDefault() ? prop.OrdinalText(prop.DefaultOrd()) : std::string();
  return text.empty() ? "&nbsp;" : Code(text);
}

void WritePropertyTable(std::string& page, const TClassInfo& cls, const std::vector<const TClassSource*>& chain) {
  page += "## Properties\n\n| Property | Type | Default | Stored | Description |\n|---|---|---|---|---|\n";
  for (const TPropInfo* prop : cls.Properties()) {
    if (prop->Kind() == pkEvent) continue;
    page += "| " + prop->Name() + " | " + Code(TypeText(*prop)) + (prop->IsReadOnly() ? " (read-only)" : "") + " | " +
            DefaultText(*prop) + " | " + StoredText(*prop) + " | " + Cell(MemberDescription(*prop, chain)) + " |\n";
  }
  page += "\n";
}

void WriteEventTable(std::string& page, const TClassInfo& cls, const std::vector<const TClassSource*>& chain) {
  page += "## Events\n\n";
  std::string rows;
  for (const TPropInfo* prop : cls.Properties())
    if (prop->Kind() == pkEvent)
      rows += "| " + prop->Name() + " | " + Code(EventTypeText(*prop, chain)) + " | " + StoredText(*prop) + " | " +
              Cell(MemberDescription(*prop, chain)) + " |\n";
  page += rows.empty() ? "None.\n\n" : "| Event | Type | Stored | Description |\n|---|---|---|---|\n" + rows + "\n";
}

// The marked example, as a C++ block.
void WriteExample(std::string& page, const TSourceExample& example) {
  page += "## Example\n\nFrom " + Code(example.File) + ":\n\n```cpp\n" + example.Code + "```\n\n";
}

// Public functions that are not property accessors: Execute first, then the class's own in
// declaration order, then those it inherits from the package's base classes.
void WriteMethodTable(std::string& page, const TClassInfo& cls, const std::vector<const TClassSource*>& chain) {
  std::set<std::string> skip;
  for (const TPropInfo* prop : cls.Properties()) {
    skip.insert(prop->Name());
    skip.insert("Set" + prop->Name());
  }
  std::vector<std::string> rows;
  for (const TClassSource* source : chain) {
    const bool inherited = source != chain.front();
    for (const TDeclaredFunction& f : source->Declared->Functions) {
      if (!skip.insert(f.Name).second) continue;
      std::string row = "| " + Code(f.Signature) + " | " + Cell(FirstSentence(f.Comment)) +
                        (inherited ? " (from " + source->Declared->Name + ")" : std::string()) + " |\n";
      if (f.Name == "Execute") rows.insert(rows.begin(), row);
      else rows.push_back(row);
    }
  }
  page += "## Methods\n\n";
  if (rows.empty()) {
    page += "None besides the property accessors.\n";
    return;
  }
  page += "| Method | Description |\n|---|---|\n";
  for (const std::string& row : rows) page += row;
}

// The header's opening comment without its "KYTTLogFile: " lead.
std::string HeaderDescription(const std::string& comment) {
  const size_t colon = comment.find(": ");
  std::string text = colon == std::string::npos ? comment : comment.substr(colon + 2);
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

// A header of one class describes it in its opening comment; a header of several classes
// describes each above its class.
bool HeaderOfOne(const TClassSource& source) { return source.ClassesInHeader == 1; }

std::string Description(const TClassSource& source) {
  return HeaderOfOne(source) ? HeaderDescription(source.HeaderComment) : source.Declared->Comment;
}

const char kGeneratedNote[] =
    "<!-- Generated by `kytdesign reference` from the published tables and the headers' comments. "
    "Do not edit: change the code and generate again. -->\n\n";

std::string ComponentPage(const TPaletteEntry& entry, const TClassSource& source, const TSourceIndex& sources,
                          const TSourceExample& example) {
  const TClassInfo& cls = *entry.Class;
  const std::vector<const TClassSource*> chain = SourceChain(cls, sources, false);
  const std::vector<const TClassSource*> packageChain = SourceChain(cls, sources, true);
  std::string page = kGeneratedNote;
  page += "# " + cls.Name() + "\n\n";
  page += "- Palette page: " + entry.Page + "\n- Base class: " + Code(cls.Parent()->Name()) + "\n- Header: " +
          Code(source.Header) + "\n\n";
  page += Cell(Description(source)) + "\n\n";
  if (HeaderOfOne(source) && !source.Declared->Comment.empty()) page += Cell(source.Declared->Comment) + "\n\n";
  WriteExample(page, example);
  WritePropertyTable(page, cls, chain);
  WriteEventTable(page, cls, chain);
  WriteMethodTable(page, cls, packageChain);
  return page;
}

std::string PageName(const std::string& className) { return className + ".md"; }

// The index's groups, by what a user wants to do; a component joins the group of its header's
// folder.
struct TIndexGroup {
  const char* Title;
  const char* Intro;
  std::vector<std::string> Folders;
};

const std::vector<TIndexGroup>& IndexGroups() {
  static const std::vector<TIndexGroup> groups{
      {"Settings", "Keep settings and the application's state between runs.", {"persistence"}},
      {"Forms and windows", "Size, place, animate and watch forms; the application's own behaviour.",
       {"forms", "framework"}},
      {"Dialogs", "Ask the user: messages, questions and choices.", {"dialogs"}},
      {"Files", "Find, copy, run, log and rewrite files; take files dropped on a form.", {"files"}},
      {"Text", "Keep lists of lines on a form.", {"strings"}},
      {"System", "The machine, the session and the desktop: facts, keys, sounds, media and settings.",
       {"system"}},
  };
  return groups;
}

const TIndexGroup* GroupOf(const TClassSource& source) {
  const std::string folder = source.Header.substr(0, source.Header.rfind('/'));
  for (const TIndexGroup& group : IndexGroups())
    for (const std::string& f : group.Folders)
      if (f == folder) return &group;
  return nullptr;
}

// What a page needs and the sources lack: a description of the component, of each member it
// publishes (reported once, at the Publish function that has the member) and an example.
void FindGaps(const TPaletteEntry& entry, const TClassSource& source, const TSourceIndex& sources,
              const TExampleIndex& examples, std::set<std::string>& gaps) {
  const TClassInfo& cls = *entry.Class;
  if (Description(source).empty())
    gaps.insert(cls.Name() + " has no description: write one in the opening comment of " + source.Header +
                (HeaderOfOne(source) ? std::string() : " or above the class"));
  const std::vector<const TClassSource*> chain = SourceChain(cls, sources, false);
  for (const TPropInfo* prop : cls.Properties()) {
    const auto [member, owner] = PublishedEntry(*prop, chain);
    const std::string what = prop->Kind() == pkEvent ? "event" : "property";
    if (!member)
      gaps.insert(cls.Name() + "." + prop->Name() + " is published by no statement of a Publish function in " +
                  source.Header + " or its base classes' headers that names it by a string literal");
    else if (member->Comment.empty())
      gaps.insert(owner->Declared->Name + "." + prop->Name() + " (" + what + ") has no description: write one in a " +
                  "comment line above its entry in " + owner->Declared->Name + "::Publish (" + owner->Header + ")");
  }
  if (!examples.Find(cls.Name()))
    gaps.insert(cls.Name() + " has no example: mark one in the tests or the showcase between \"" +
                std::string(kExampleStart) + cls.Name() + "\" and \"" + std::string(kExampleEnd) + "\"");
}

}  // namespace

const std::vector<std::string>& ReferenceSourceFolders() {
  static const std::vector<std::string> folders{"framework", "persistence", "forms", "dialogs",
                                                "files",     "strings",     "system"};
  return folders;
}

const std::vector<std::string>& ReferenceBaseFolders() {
  static const std::vector<std::string> folders{"host/core"};
  return folders;
}

const std::vector<std::string>& ReferenceExampleFolders() {
  static const std::vector<std::string> folders{"examples", "tests"};
  return folders;
}

std::vector<TReferenceFile> MakeReferenceFiles(const std::string& sourceDir) {
  const TSourceIndex sources(sourceDir);
  for (const TPaletteEntry& entry : DesignTables().Palette)
    if (!sources.Find(entry.ClassName)) throw EDesignCommandError("no header in " + sourceDir + " defines " + entry.ClassName);
  std::vector<std::string> problems;
  const TExampleIndex examples(sourceDir, problems);
  std::set<std::string> gaps;
  std::set<std::string> palette;
  for (const TPaletteEntry& entry : DesignTables().Palette) {
    palette.insert(entry.ClassName);
    const TClassSource& source = *sources.Find(entry.ClassName);
    if (!GroupOf(source)) gaps.insert(entry.ClassName + " is in " + source.Header + ", a folder of no group of the index");
    if (entry.Available()) FindGaps(entry, source, sources, examples, gaps);
  }
  for (const auto& [name, example] : examples.All())
    if (!palette.contains(name))
      problems.push_back(example.File + ":" + std::to_string(example.Line) + ": a reference example of " + name +
                         ", which is no component of the palette");
  problems.insert(problems.end(), gaps.begin(), gaps.end());
  if (!problems.empty()) {
    std::string list;
    for (const std::string& problem : problems) list += "\n  " + problem;
    throw EDesignCommandError("the reference pages cannot be made from " + sourceDir + ":" + list);
  }

  std::vector<TReferenceFile> files;
  std::map<const TIndexGroup*, std::string> rows;
  for (const char* pageName : {kKYTPage1, kKYTPage2}) {
    for (const TPaletteEntry& entry : PalettePage(pageName)) {
      const TClassSource& source = *sources.Find(entry.ClassName);
      std::string& groupRows = rows[GroupOf(source)];
      if (!entry.Available()) {
        groupRows += "| " + entry.ClassName + " | " + pageName + " | not available in this build |\n";
        continue;
      }
      files.push_back({PageName(entry.ClassName), ComponentPage(entry, source, sources, *examples.Find(entry.ClassName))});
      groupRows += "| [" + entry.ClassName + "](" + PageName(entry.ClassName) + ") | " + pageName + " | " +
                   Cell(FirstSentence(Description(source))) + " |\n";
    }
  }
  std::string index = kGeneratedNote;
  index += "# Component reference\n\nOne page per component of the palette, grouped by what it is for; each page "
           "has what the component does, an example, its properties and events with what they do, and its "
           "methods.\n";
  for (const TIndexGroup& group : IndexGroups()) {
    if (!rows.contains(&group)) continue;
    index += std::string("\n## ") + group.Title + "\n\n" + group.Intro +
             "\n\n| Component | Palette page | Description |\n|---|---|---|\n" + rows[&group];
  }
  files.push_back({"README.md", index});
  return files;
}

}  // namespace kyt
