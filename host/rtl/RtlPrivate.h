// RtlPrivate.h: PRIVATE to host/rtl. Argument checks and size-checked reads of platform strings
// shared by the run-time library units; not part of the package's interface.
#ifndef KYT_HOST_RTL_RTLPRIVATE_H
#define KYT_HOST_RTL_RTLPRIVATE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/Strings.h"
#include "host/os/OsSeam.h"
#include "host/rtl/WideText.h"

namespace kyt::rtl_private {

// Paths handed to the ANSI file functions must fit MAX_PATH characters (UTF-16 units, whatever
// their bytes) with their terminating zero and must
// not hold a zero character (which would silently cut the name at that point). Returns 0 when the
// path may be passed on, else the Win32 error code the runtime reports for it.
inline DWORD CheckPath(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return ERROR_INVALID_NAME;
  if (WideLength(path) >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  return 0;
}

// True when text holds no zero character (so c_str() passes all of it).
inline bool NoZero(std::string_view text) { return text.find('\0') == std::string_view::npos; }

// Reads a string from a call with the GetCurrentDirectory convention: it returns the length
// without the zero when the buffer was big enough, the size needed (with the zero) when it was
// not, and 0 on failure. The buffer grows until the text fits; nullopt when the call fails.
template <class Call>
std::optional<std::string> ReadGrowing(Call call, DWORD initial = MAX_PATH) {
  std::string buf(initial, '\0');
  for (int attempt = 0; attempt < 16; ++attempt) {
    os::kernel32.SetLastError(ERROR_SUCCESS);
    DWORD n = call(buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) {
      if (os::kernel32.GetLastError() == ERROR_SUCCESS) return std::string();
      return std::nullopt;
    }
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.assign(static_cast<size_t>(n) + 1, '\0');
  }
  return std::nullopt;
}

// Trims the zero characters a platform call may leave at the end of a counted buffer.
inline std::string UpToZero(const char* data, size_t size) {
  size_t n = 0;
  while (n < size && data[n] != '\0') ++n;
  return std::string(data, n);
}

// Replaces the lines of strings with lines, as one change.
inline void FillList(TStrings& strings, const std::vector<std::string>& lines) {
  strings.Updating([&] {
    strings.Clear();
    for (const std::string& line : lines) strings.Add(line);
  });
}

}  // namespace kyt::rtl_private

#endif  // KYT_HOST_RTL_RTLPRIVATE_H
