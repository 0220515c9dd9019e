// FileTestHelper: the small program the file-execute tests start instead of a real one. It
// records how it was started and ends by itself.
//   files_test_helper <report> [send <hwnd> <message>] [word...]
// The report (written last, through a rename, so a reader never sees half of it) holds one
// "key=value" line each: pid, dir (current folder), show (the show command it was given, or -1),
// args (the words after the options), sent (1 when the message was answered, 0 when not).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string report = argv[1];
  int next = 2;
  std::string sent = "-";
  if (argc >= next + 3 && std::string(argv[next]) == "send") {
    const HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[next + 1], nullptr, 16)));
    const UINT message = static_cast<UINT>(std::strtoul(argv[next + 2], nullptr, 16));
    DWORD_PTR answer = 0;
    // Bounded, so the helper always ends: a caller that never answers makes it report 0.
    sent = SendMessageTimeoutA(target, message, 0, 0, SMTO_NORMAL, 20000, &answer) ? "1" : "0";
    next += 3;
  }
  std::string args;
  for (int i = next; i < argc; ++i) args += (i > next ? " " : "") + std::string(argv[i]);
  char dir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, dir);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

  const std::string partial = report + ".partial";
  FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return 3;
  std::fprintf(out, "pid=%lu\ndir=%s\nshow=%d\nargs=%s\nsent=%s\n", GetCurrentProcessId(), dir, show,
               args.c_str(), sent.c_str());
  std::fclose(out);
  return MoveFileExA(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
