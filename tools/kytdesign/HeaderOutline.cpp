// HeaderOutline: a line-by-line reading of a header in the project's style.
#include "tools/kytdesign/HeaderOutline.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace kyt {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Runs of blanks become one blank: a declaration over several lines reads as one line.
std::string Collapse(std::string_view s) {
  std::string out;
  for (char c : Trim(s)) {
    const bool blank = std::isspace(static_cast<unsigned char>(c));
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

bool IsComment(std::string_view trimmed) { return trimmed.starts_with("//"); }

std::string CommentText(std::string_view trimmed) { return std::string(Trim(trimmed.substr(2))); }

// "// Properties", "// Events", "// Methods": labels of a group that describe nothing.
bool IsSectionLabel(const std::string& comment) {
  return !comment.empty() && std::isupper(static_cast<unsigned char>(comment[0])) &&
         comment.find(' ') == std::string::npos && comment.back() != '.';
}

void AppendComment(std::string& comment, const std::string& line) {
  if (!comment.empty()) comment += ' ';
  comment += line;
}

// The class a line at the start of a class definition names; empty for other lines and for
// forward declarations.
std::string DefinedClass(std::string_view line) {
  if (!line.starts_with("class ") || Trim(line).ends_with(";")) return {};
  line.remove_prefix(6);
  const size_t end = line.find_first_of(" :{");
  return std::string(Trim(line.substr(0, end)));
}

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '~'; }

// Drops the specifiers that say nothing about the value a function returns.
std::string_view DropSpecifiers(std::string_view head) {
  for (bool dropped = true; dropped;) {
    dropped = false;
    for (std::string_view word : {"virtual ", "static ", "explicit ", "inline ", "constexpr ", "[[nodiscard]] "}) {
      if (head.starts_with(word)) {
        head.remove_prefix(word.size());
        dropped = true;
      }
    }
  }
  return Trim(head);
}

// A member function from a declaration up to (without) its ';' or body; false for constructors,
// destructors, operators, friends, macros, the publishing tables and anything that is not a
// function.
bool ParseFunction(const std::string& declaration, const std::string& className, TDeclaredFunction& f) {
  const std::string decl = Collapse(declaration);
  const size_t open = decl.find('(');
  if (open == std::string::npos || decl.starts_with("friend ")) return false;
  size_t nameStart = open;
  while (nameStart > 0 && IsIdentChar(decl[nameStart - 1])) --nameStart;
  const std::string name = decl.substr(nameStart, open - nameStart);
  const std::string_view head = DropSpecifiers(std::string_view(decl).substr(0, nameStart));
  if (name.empty() || head.empty() || name == className || name[0] == '~' || name.starts_with("operator") ||
      head.ends_with("operator") || name == "Publish" || name == "PublishMethods")
    return false;
  int depth = 0;
  size_t close = open;
  for (; close < decl.size(); ++close) {
    if (decl[close] == '(') ++depth;
    if (decl[close] == ')' && --depth == 0) break;
  }
  if (close == decl.size()) return false;
  const std::string_view tail = Trim(std::string_view(decl).substr(close + 1));
  f.Name = name;
  f.ReturnType = std::string(head);
  f.Signature = f.ReturnType + " " + name + decl.substr(open, close - open + 1);
  if (tail.starts_with("const")) f.Signature += " const";
  return true;
}

// Where a declaration ends: its ';' or the '{' of its body, outside parentheses (a default
// argument may be "= {}"); npos while it goes on.
size_t DeclarationEnd(std::string_view declaration) {
  int parentheses = 0;
  for (size_t i = 0; i < declaration.size(); ++i) {
    const char c = declaration[i];
    if (c == '(') ++parentheses;
    else if (c == ')') --parentheses;
    else if ((c == ';' || c == '{') && parentheses == 0) return i;
  }
  return std::string_view::npos;
}

// The member a statement of a Publish body publishes: the string literal opening the arguments
// of the call the line starts with (p.Property("Name", ...)); empty for other lines.
std::string PublishedName(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && (IsIdentChar(t[i]) || t[i] == '.')) ++i;
  if (i == 0 || !t.substr(i).starts_with("(\"")) return {};
  const size_t end = t.find('"', i + 2);
  return end == std::string_view::npos ? std::string() : std::string(t.substr(i + 2, end - i - 2));
}

bool IsPublishDeclaration(std::string_view declaration) { return declaration.find(" Publish(") != std::string_view::npos; }

int BraceBalance(std::string_view s) {
  return static_cast<int>(std::count(s.begin(), s.end(), '{') - std::count(s.begin(), s.end(), '}'));
}

// Reads one class body line by line; Done() once its closing "};" was read.
class TClassReader {
 public:
  explicit TClassReader(TDeclaredClass& cls) : FClass(cls) {}
  bool Done() const { return FDone; }

  void Read(std::string_view line) {
    const std::string_view t = Trim(line);
    if (FDepth > 0) {
      if (FInPublish) ReadPublishLine(t);
      FDepth += BraceBalance(t);
      FInPublish = FInPublish && FDepth > 0;
      return;
    }
    if (FDeclaration.empty() && ReadBetweenDeclarations(line, t)) return;
    FDeclaration += ' ';
    FDeclaration += t;
    const size_t end = DeclarationEnd(FDeclaration);
    if (end == std::string::npos) return;  // continues on the next line
    TDeclaredFunction f;
    if (FPublic && ParseFunction(FDeclaration.substr(0, end), FClass.Name, f)) {
      f.Comment = FComment;
      FClass.Functions.push_back(std::move(f));
    }
    if (FDeclaration[end] == '{') {
      FDepth = BraceBalance(std::string_view(FDeclaration).substr(end));
      FInPublish = FDepth > 0 && IsPublishDeclaration(FDeclaration);
    }
    FDeclaration.clear();
    FComment.clear();
  }

 private:
  // Access labels, comments, blank lines, macros and the class's end; true when line was one.
  bool ReadBetweenDeclarations(std::string_view line, std::string_view t) {
    if (line.starts_with("};")) {
      FDone = true;
    } else if (t == "public:" || t == "protected:" || t == "private:") {
      FPublic = t == "public:";
      FComment.clear();
    } else if (IsComment(t)) {
      const std::string text = CommentText(t);
      if (!IsSectionLabel(text)) AppendComment(FComment, text);
    } else if (t.empty()) {
      FComment.clear();
    } else if (t.starts_with("KYT_") || t.starts_with("#")) {
      FComment.clear();
    } else {
      return false;
    }
    return true;
  }

  // A line of the Publish body: comments gather until the statement they describe.
  void ReadPublishLine(std::string_view t) {
    if (IsComment(t)) {
      AppendComment(FComment, CommentText(t));
      return;
    }
    const std::string name = PublishedName(t);
    if (!name.empty()) FClass.Published.push_back({name, FComment});
    FComment.clear();
  }

  TDeclaredClass& FClass;
  bool FPublic = false;
  bool FInPublish = false;  // inside the body of the Publish function
  bool FDone = false;
  int FDepth = 0;  // inside an inline body or a nested type
  std::string FDeclaration;
  std::string FComment;
};

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

THeaderOutline OutlineHeader(std::string_view text) {
  THeaderOutline outline;
  std::string comment;
  bool openingRead = false;
  std::optional<TClassReader> reader;
  for (std::string_view line : SplitLines(text)) {
    if (reader) {
      reader->Read(line);
      if (reader->Done()) reader.reset();
      continue;
    }
    const std::string_view t = Trim(line);
    if (IsComment(t)) {
      AppendComment(comment, CommentText(t));
      continue;
    }
    if (!openingRead) {
      outline.Comment = comment;
      openingRead = true;
    }
    const std::string name = DefinedClass(line);
    if (!name.empty()) {
      outline.Classes.push_back({name, comment, {}, {}});
      reader.emplace(outline.Classes.back());
    }
    comment.clear();
  }
  return outline;
}

std::string FirstSentence(const std::string& comment) {
  const size_t stop = comment.find(". ");
  return stop == std::string::npos ? comment : comment.substr(0, stop + 1);
}

}  // namespace kyt
