// ShowcaseBoard: the lines follow the palette's own pages and order, from the package's
// registration.
#include "examples/showcase/ShowcaseBoard.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "package/KYTSysReg.h"
#include "host/design/Designer.h"
#include "host/vcl/StdCtrls.h"

namespace kyt {

namespace {

struct TBoardLine {
  std::string ClassName;
  TListBox* List = nullptr;
  int Index = 0;
  bool Reported = false;
};

std::vector<TBoardLine>& Board() {
  static std::vector<TBoardLine> lines;
  return lines;
}

// The latest report per class, kept from the start: components report while the form file is
// still being read, before the lists are there.
std::map<std::string, std::string>& Latest() {
  static std::map<std::string, std::string> latest;
  return latest;
}

std::string LineText(const std::string& className, const std::string& text) {
  std::string line = className;
  line.resize(std::max<size_t>(line.size() + 2, 22), ' ');
  return line + text;
}

}  // namespace

void Report(const std::string& what) {
  std::printf("showcase: %s\n", what.c_str());
  std::fflush(stdout);
}

void Report(const TComponent& component, const std::string& what) {
  Report(what);
  const std::string& name = component.Name();
  // "LogFile1: cleared" and "LogFile1 ticked" already name the component.
  const bool named = what.starts_with(name + ":") || what.starts_with(name + " ");
  const std::string text = named ? what : name + ": " + what;
  Latest()[component.ClassName()] = text;
  for (TBoardLine& line : Board()) {
    if (line.ClassName != component.ClassName()) continue;
    line.Reported = true;
    line.List->Items()->Put(line.Index, LineText(line.ClassName, text));
    line.List->Update();
  }
}

void SetUpBoard(TListBox& page1, TListBox& page2) {
  Register();
  Board().clear();
  for (TListBox* list : {&page1, &page2}) {
    list->Items()->Clear();
    for (const TPaletteEntry& entry : PalettePage(list == &page1 ? kKYTPage1 : kKYTPage2)) {
      const auto latest = Latest().find(entry.ClassName);
      const bool reported = latest != Latest().end();
      const int index = list->Items()->Add(LineText(entry.ClassName, reported ? latest->second : "(waiting)"));
      Board().push_back({entry.ClassName, list, index, reported});
    }
  }
}

std::vector<std::string> SilentComponents() {
  std::vector<std::string> silent;
  for (const TBoardLine& line : Board())
    if (!line.Reported) silent.push_back(line.ClassName);
  return silent;
}

}  // namespace kyt
