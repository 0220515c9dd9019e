// Commands: the design tool's commands on form files. Each command opens the file in the
// designer model (designing state, real hidden window), acts as the form designer would, and
// saves the file only when it succeeded: replaced whole, the text before kept as NAME.~kfm.
#ifndef KYT_TOOLS_KYTDESIGN_COMMANDS_H
#define KYT_TOOLS_KYTDESIGN_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"

namespace kyt {

// A command line the tool refuses (unknown command, wrong arguments, a name that is not there).
class EDesignCommandError : public Exception { using Exception::Exception; };

// Runs one command (args without the program name); output goes to out. Raises
// EDesignCommandError, EPropertyError and the runtime's errors; the file is then untouched.
void RunDesignCommand(const std::vector<std::string>& args, std::ostream& out);

// The usage text.
std::string DesignUsage();

}  // namespace kyt

#endif  // KYT_TOOLS_KYTDESIGN_COMMANDS_H
