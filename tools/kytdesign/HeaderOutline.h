// HeaderOutline: what the reference pages take from a header: each class's comment and its
// public member functions with their comments. It reads headers written in the project's style
// (a comment block directly above what it describes, "};" closing a class at the line start);
// it is not a C++ parser.
#ifndef KYT_TOOLS_KYTDESIGN_HEADEROUTLINE_H
#define KYT_TOOLS_KYTDESIGN_HEADEROUTLINE_H

#include <string>
#include <string_view>
#include <vector>

namespace kyt {

// One public member function.
struct TDeclaredFunction {
  std::string Name;
  std::string ReturnType;  // without virtual, static, inline...; "const TNotifyEvent&"
  std::string Signature;   // one line: "void Log(const std::string& Msg)"
  std::string Comment;     // the comment block above it, lines joined by blanks
};

// One class of a header.
struct TDeclaredClass {
  std::string Name;
  std::string Comment;  // the comment block directly above "class"
  // Public ones in order; constructors, destructors, operators and Publish tables left out.
  std::vector<TDeclaredFunction> Functions;
};

struct THeaderOutline {
  std::string Comment;  // the header's opening comment block
  std::vector<TDeclaredClass> Classes;
};

THeaderOutline OutlineHeader(std::string_view text);

// The first sentence of a comment (up to and with the first full stop followed by a blank).
std::string FirstSentence(const std::string& comment);

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_HEADEROUTLINE_H
