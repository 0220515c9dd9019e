// Reference: Markdown pages from the class tables and the header outlines.
#include "tools/kytdesign/Reference.h"

#include <cctype>
#include <list>
#include <map>
#include <set>

#include "framework/KYTSysReg.h"
#include "host/design/Designer.h"
#include "host/rtl/SysUtils.h"
#include "tools/kytdesign/Commands.h"
#include "tools/kytdesign/HeaderOutline.h"
#include "tools/kytdesign/ToolFiles.h"

namespace kyt {

namespace {

// A class as its header declares it.
struct TClassSource {
  const TDeclaredClass* Declared = nullptr;
  std::string Header;         // relative to the source folder, with '/'
  std::string HeaderComment;  // the header's opening comment
  size_t ClassesInHeader = 0;
};

// Every class the package's headers define, by name.
class TSourceIndex {
 public:
  explicit TSourceIndex(const std::string& sourceDir) {
    for (const std::string& folder : ReferenceSourceFolders()) {
      TSearchRec rec;
      const std::string dir = sourceDir + "\\" + folder + "\\";
      for (int found = FindFirst(dir + "*.h", 0, rec); found == 0; found = FindNext(rec))
        Add(folder + "/" + rec.Name, ReadWholeFile(dir + rec.Name, "header"));
      FindClose(rec);
    }
  }
  const TClassSource* Find(const std::string& className) const {
    auto it = FClasses.find(className);
    return it == FClasses.end() ? nullptr : &it->second;
  }

 private:
  void Add(const std::string& header, const std::string& text) {
    const THeaderOutline& outline = FOutlines.emplace_back(OutlineHeader(text));
    for (const TDeclaredClass& cls : outline.Classes)
      FClasses[cls.Name] = {&cls, header, outline.Comment, outline.Classes.size()};
  }
  std::list<THeaderOutline> FOutlines;  // stable addresses for FClasses
  std::map<std::string, TClassSource> FClasses;
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
  const std::string notEmpty = prop.Kind() == pkEvent ? "when assigned" : "when not empty";
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
                           : StoredWhenNotEmpty(prop.Kind()) ? notEmpty
                                                             : "always";
  if (!prop.HasStoredCondition()) return rule;
  return "when the component's settings call for it" + (rule == "always" ? std::string() : ", then " + rule);
}

std::string TypeText(const TPropInfo& prop) {
  if (!prop.TypeName().empty()) return prop.TypeName();
  return prop.ObjectClass() ? prop.ObjectClass()->Name() : std::string("?");
}

// The class and its ancestors that the package's headers define, the class first.
std::vector<const TClassSource*> SourceChain(const TClassInfo& cls, const TSourceIndex& sources) {
  std::vector<const TClassSource*> chain;
  for (const TClassInfo* c = &cls; c; c = c->Parent())
    if (const TClassSource* source = sources.Find(c->Name())) chain.push_back(source);
  return chain;
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

void WritePropertyTable(std::string& page, const TClassInfo& cls) {
  page += "## Properties\n\n| Property | Type | Default | Stored |\n|---|---|---|---|\n";
  for (const TPropInfo* prop : cls.Properties()) {
    if (prop->Kind() == pkEvent) continue;
    page += "| " + prop->Name() + " | " + Code(TypeText(*prop)) + (prop->IsReadOnly() ? " (read-only)" : "") + " | " +
            DefaultText(*prop) + " | " +
            StoredText(*prop) + " |\n";
  }
  page += "\n";
}

void WriteEventTable(std::string& page, const TClassInfo& cls, const std::vector<const TClassSource*>& chain) {
  page += "## Events\n\n";
  std::string rows;
  for (const TPropInfo* prop : cls.Properties())
    if (prop->Kind() == pkEvent)
      rows += "| " + prop->Name() + " | " + Code(EventTypeText(*prop, chain)) + " | " + StoredText(*prop) + " |\n";
  page += rows.empty() ? "None.\n\n" : "| Event | Type | Stored |\n|---|---|---|\n" + rows + "\n";
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

std::string ComponentPage(const TPaletteEntry& entry, const TClassSource& source, const TSourceIndex& sources) {
  const TClassInfo& cls = *entry.Class;
  const std::vector<const TClassSource*> chain = SourceChain(cls, sources);
  std::string page = kGeneratedNote;
  page += "# " + cls.Name() + "\n\n";
  page += "- Palette page: " + entry.Page + "\n- Base class: " + Code(cls.Parent()->Name()) + "\n- Header: " +
          Code(source.Header) + "\n\n";
  page += Cell(Description(source)) + "\n\n";
  if (HeaderOfOne(source) && !source.Declared->Comment.empty()) page += Cell(source.Declared->Comment) + "\n\n";
  WritePropertyTable(page, cls);
  WriteEventTable(page, cls, chain);
  WriteMethodTable(page, cls, chain);
  return page;
}

std::string PageName(const std::string& className) { return className + ".md"; }

}  // namespace

const std::vector<std::string>& ReferenceSourceFolders() {
  static const std::vector<std::string> folders{"framework", "persistence", "forms", "dialogs",
                                                "files",     "strings",     "system"};
  return folders;
}

std::vector<TReferenceFile> MakeReferenceFiles(const std::string& sourceDir) {
  const TSourceIndex sources(sourceDir);
  for (const TPaletteEntry& entry : DesignTables().Palette)
    if (!sources.Find(entry.ClassName)) throw EDesignCommandError("no header in " + sourceDir + " defines " + entry.ClassName);
  std::vector<TReferenceFile> files;
  std::string index = kGeneratedNote;
  index += "# Component reference\n\nOne page per component of the palette, in palette order.\n";
  for (const char* pageName : {kKYTPage1, kKYTPage2}) {
    index += std::string("\n## ") + pageName + "\n\n| Component | Base class | Description |\n|---|---|---|\n";
    for (const TPaletteEntry& entry : PalettePage(pageName)) {
      if (!entry.Available()) {
        index += "| " + entry.ClassName + " | &nbsp; | not available in this build |\n";
        continue;
      }
      const TClassSource& source = *sources.Find(entry.ClassName);
      files.push_back({PageName(entry.ClassName), ComponentPage(entry, source, sources)});
      index += "| [" + entry.ClassName + "](" + PageName(entry.ClassName) + ") | " + Code(entry.Class->Parent()->Name()) +
               " | " + Cell(FirstSentence(Description(source))) + " |\n";
    }
  }
  files.push_back({"README.md", index});
  return files;
}

}  // namespace kyt
