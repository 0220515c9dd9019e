// SourceExamples: a line-by-line search for the example markers.
#include "tools/kytdesign/SourceExamples.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace kyt {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

size_t Indentation(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return n;
}

// The region's lines as one text: leading and trailing blank lines dropped, the indentation
// all lines share taken off.
std::string RegionCode(const std::vector<std::string_view>& lines) {
  size_t first = 0, last = lines.size();
  while (first < last && TrimBlanks(lines[first]).empty()) ++first;
  while (last > first && TrimBlanks(lines[last - 1]).empty()) --last;
  size_t indent = std::string_view::npos;
  for (size_t i = first; i < last; ++i)
    if (!TrimBlanks(lines[i]).empty()) indent = std::min(indent, Indentation(lines[i]));
  std::string code;
  for (size_t i = first; i < last; ++i) {
    const std::string_view line = lines[i];
    code += TrimBlanks(line).empty() ? std::string() : std::string(line.substr(indent));
    while (!code.empty() && (code.back() == ' ' || code.back() == '\t')) code.pop_back();
    code += '\n';
  }
  return code;
}

}  // namespace

std::vector<TSourceExample> FindSourceExamples(std::string_view text, const std::string& file,
                                               std::vector<std::string>& problems) {
  std::vector<TSourceExample> examples;
  std::optional<TSourceExample> open;
  std::vector<std::string_view> lines;
  const auto problem = [&](int line, const std::string& what) {
    problems.push_back(file + ":" + std::to_string(line) + ": " + what);
  };
  const std::string_view startMarker = TrimBlanks(kExampleStart);  // a name may follow
  int number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ++number;
    const std::string_view t = TrimBlanks(line);
    if (t.starts_with(startMarker)) {
      if (open) problem(open->Line, "the reference example of " + open->ClassName + " has no end marker");
      open = TSourceExample{std::string(TrimBlanks(t.substr(startMarker.size()))), file, number, {}};
      lines.clear();
      if (open->ClassName.empty()) {
        problem(number, "a reference example names no component");
        open.reset();
      }
    } else if (t == kExampleEnd) {
      if (!open) {
        problem(number, "an end of reference example without its start");
        continue;
      }
      open->Code = RegionCode(lines);
      if (open->Code.empty()) problem(open->Line, "the reference example of " + open->ClassName + " holds no code");
      else examples.push_back(std::move(*open));
      open.reset();
    } else if (open) {
      lines.push_back(line);
    }
  }
  if (open) problem(open->Line, "the reference example of " + open->ClassName + " has no end marker");
  return examples;
}

}  // namespace kyt
