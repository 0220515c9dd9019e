// HeaderOutline: what the reference pages take from a header: each class's comment, the members
// its Publish function publishes with the comment above each, and its public member functions
// with their comments. It reads headers written in the project's style
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

// One member a Publish function publishes: a statement of its body that starts with a call
// whose first argument is the member's name as a string literal (p.Property("Active", ...), or
// a helper's info("CPU", ...)). The comment block directly above the statement describes the
// member for the reference pages.
struct TPublishedMember {
  std::string Name;
  std::string Comment;  // lines joined by blanks; empty when there is none
};

// One class of a header.
struct TDeclaredClass {
  std::string Name;
  std::string Comment;  // the comment block directly above "class"
  // Public ones in order; constructors, destructors, operators and Publish tables left out.
  std::vector<TDeclaredFunction> Functions;
  // What its Publish function publishes, in order.
  std::vector<TPublishedMember> Published;
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
