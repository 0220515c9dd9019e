// kytdesign: the design tool. Plays the form designer's part on text form files; "gui" opens the
// designer's windows.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "package/KYTSysReg.h"
#include "tools/designer/Designer.h"
#include "tools/kytdesign/Commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "gui") {
      kyt::Register();
      return kyt::RunDesigner(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    kyt::RunDesignCommand(args, std::cout);
    std::cout.flush();
    return 0;
  } catch (const kyt::EDesignCommandError& e) {
    std::cerr << "kytdesign: " << e.Message() << "\n";
    return 2;
  } catch (const kyt::Exception& e) {
    std::cerr << "kytdesign: " << e.Message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "kytdesign: " << e.what() << "\n";
    return 1;
  }
}
