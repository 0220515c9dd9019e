// SourceExamples: the regions of the project's sources marked as a component's example for its
// reference page. The code between
//   // reference example: TKYTLogFile
//   // end of reference example
// (each marker alone on its line) is the example, so the page shows code the suite compiles.
#ifndef KYT_TOOLS_KYTDESIGN_SOURCEEXAMPLES_H
#define KYT_TOOLS_KYTDESIGN_SOURCEEXAMPLES_H

#include <string>
#include <string_view>
#include <vector>

namespace kyt {

inline constexpr std::string_view kExampleStart = "// reference example: ";
inline constexpr std::string_view kExampleEnd = "// end of reference example";

// One marked region.
struct TSourceExample {
  std::string ClassName;
  std::string File;  // as given to FindSourceExamples
  int Line = 0;      // of the start marker, from 1
  std::string Code;  // the lines between the markers without their common indentation
};

// The marked regions of one source text. A region without its end, an end without its start,
// a start inside a region and a region without code are not taken; each adds a line naming
// file and line to problems.
std::vector<TSourceExample> FindSourceExamples(std::string_view text, const std::string& file,
                                               std::vector<std::string>& problems);

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_SOURCEEXAMPLES_H
