// ToolFiles: reads through the standard streams, replaces through the OS seam's rename.
#include "tools/kytdesign/ToolFiles.h"

#include <fstream>
#include <iterator>

#include "host/os/OsSeam.h"
#include "tools/kytdesign/Commands.h"

namespace kyt {

bool FileExistsNow(const std::string& path) {
  const DWORD attrs = os::kernel32.GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string& path, const std::string& what) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EDesignCommandError("cannot open " + what + " " + path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ReplaceFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".kytdesign-tmp";
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) throw EDesignCommandError("cannot write " + temp);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
      os::kernel32.DeleteFileA(temp.c_str());
      throw EDesignCommandError("cannot write " + temp);
    }
  }
  if (!os::kernel32.MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    os::kernel32.DeleteFileA(temp.c_str());
    throw EDesignCommandError("cannot replace " + path);
  }
}

}  // namespace kyt
