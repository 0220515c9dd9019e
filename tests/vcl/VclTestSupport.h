// VclTestSupport.h: helpers for the visual runtime's tests: pumping through the application's
// own loop (so OnMessage, keyboard and hint handling run) and reading real window state.
#ifndef KYT_TESTS_VCL_VCLTESTSUPPORT_H
#define KYT_TESTS_VCL_VCLTESTSUPPORT_H

#include <functional>
#include <string>

#include "host/os/Win.h"
#include "host/vcl/Application.h"

namespace kyt::vcltest {

// Runs Application->ProcessMessages until done() holds or timeoutMs passes.
inline bool PumpApp(const std::function<bool()>& done, int timeoutMs = 3000) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    Application->ProcessMessages();
    if (done && done()) return true;
    if (::GetTickCount64() >= deadline) return done ? done() : false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpAppFor(int ms) { PumpApp(nullptr, ms); }

inline std::string ClassOf(HWND window) {
  char buffer[256] = {};
  ::GetClassNameA(window, buffer, sizeof(buffer));
  return buffer;
}

inline std::string TextOf(HWND window) {
  char buffer[512] = {};
  ::GetWindowTextA(window, buffer, sizeof(buffer));
  return buffer;
}

// A window rectangle in the client coordinates of the window's parent.
inline RECT RectInParent(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Records the exceptions that reach Application->OnException while alive, then puts the
// previous handler back.
class ExceptionCatcher {
 public:
  ExceptionCatcher() : FPrevious(Application->OnException()) {
    Application->SetOnException(TExceptionEvent::Bind<&ExceptionCatcher::Handle>(this));
  }
  ~ExceptionCatcher() { Application->SetOnException(FPrevious); }
  ExceptionCatcher(const ExceptionCatcher&) = delete;
  ExceptionCatcher& operator=(const ExceptionCatcher&) = delete;

  int Count() const { return FCount; }
  const std::string& LastMessage() const { return FLastMessage; }
  TObject* LastSender() const { return FLastSender; }

 private:
  void Handle(TObject* sender, const Exception& e) {
    ++FCount;
    FLastMessage = e.Message();
    FLastSender = sender;
  }

  TExceptionEvent FPrevious;
  int FCount = 0;
  std::string FLastMessage;
  TObject* FLastSender = nullptr;
};

}  // namespace kyt::vcltest

#endif  // KYT_TESTS_VCL_VCLTESTSUPPORT_H
