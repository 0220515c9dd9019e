// Exceptions: constructors of the exception hierarchy.
#include "host/core/Exceptions.h"

#include <utility>

namespace kyt {

Exception::Exception(std::string msg) : FMessage(std::move(msg)) {}

EInOutError::EInOutError(std::string msg, int errorCode)
    : Exception(std::move(msg)), FErrorCode(errorCode) {}

EReadError::EReadError(std::string file, int line, int column, std::string reason)
    : EFilerError(file + "(" + std::to_string(line) + "," + std::to_string(column) + "): " + reason),
      FFileName(std::move(file)),
      FLine(line),
      FColumn(column),
      FReason(std::move(reason)) {}

}  // namespace kyt
