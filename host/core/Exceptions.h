// Exceptions: the one exception hierarchy of the component model, rooted at Exception.
#ifndef KYT_HOST_CORE_EXCEPTIONS_H
#define KYT_HOST_CORE_EXCEPTIONS_H

#include <exception>
#include <string>
#include <utility>

namespace kyt {

// Base of every exception the framework raises; carries a message text.
class Exception : public std::exception {
 public:
  explicit Exception(std::string msg);
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string msg) { FMessage = std::move(msg); }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// A value could not be converted or assigned ("Cannot assign a X to a Y").
class EConvertError : public Exception { using Exception::Exception; };
// A list index is out of bounds or a list operation is not allowed.
class EListError : public Exception { using Exception::Exception; };
// A checked class conversion found an object of the wrong class.
class EInvalidCast : public Exception { using Exception::Exception; };
// A resource (handle, memory, timer) could not be obtained.
class EOutOfResources : public Exception { using Exception::Exception; };
// A value lies outside the range of its type (Byte, Word, enumeration, set).
class ERangeError : public Exception { using Exception::Exception; };
// A component name is invalid or already used among the owner's components.
class EComponentError : public Exception { using Exception::Exception; };
// Registry failures of the run-time library.
class ERegistryException : public Exception { using Exception::Exception; };
// Streaming failures; base of EReadError and EWriteError, also raised by the class registry.
class EFilerError : public Exception { using Exception::Exception; };
// Writing a form failed.
class EWriteError : public EFilerError { using EFilerError::EFilerError; };

// An input/output operation failed; carries the OS error code.
class EInOutError : public Exception {
 public:
  EInOutError(std::string msg, int errorCode);
  int ErrorCode() const { return FErrorCode; }

 private:
  int FErrorCode;
};

// A form file was refused. Message() is "<file>(<line>,<col>): <reason>".
class EReadError : public EFilerError {
 public:
  EReadError(std::string file, int line, int column, std::string reason);
  const std::string& FileName() const { return FFileName; }
  int Line() const { return FLine; }
  int Column() const { return FColumn; }
  const std::string& Reason() const { return FReason; }

 private:
  std::string FFileName;
  int FLine;
  int FColumn;
  std::string FReason;
};

}  // namespace kyt

#endif
