// KYTTScreenSaver: the screen-saver settings through SystemParametersInfo.
#include "system/KYTTScreenSaver.h"

#include "host/core/Exceptions.h"
#include "host/os/OsSeam.h"
#include "host/vcl/Forms.h"

namespace kyt {

namespace {
[[maybe_unused]] const bool kRegistered = [] {
  RegisterClass(TKYTScreenSaver::StaticClass());
  return true;
}();

// A 32-bit setting, or 0 when the system could not give it.
UINT ReadSetting(UINT action) {
  UINT value = 0;
  if (!os::user32.SystemParametersInfoA(action, 0, &value, 0)) return 0;
  return value;
}
}  // namespace

bool TKYTScreenSaver::Active() const { return ReadSetting(SPI_GETSCREENSAVEACTIVE) != 0; }

void TKYTScreenSaver::SetActive(bool value) {
  os::user32.SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, value ? 1 : 0, nullptr, SPIF_SENDWININICHANGE);
}

int32_t TKYTScreenSaver::Seconds() const { return static_cast<int32_t>(ReadSetting(SPI_GETSCREENSAVETIMEOUT)); }

void TKYTScreenSaver::SetSeconds(int32_t value) {
  os::user32.SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(value), nullptr,
                                   SPIF_SENDWININICHANGE);
}

bool TKYTScreenSaver::Execute() {
  if (!Active()) return true;
  if (!Owner()) throw EInvalidCast("Invalid class typecast: the screen saver has no owner form");
  TForm* form = ObjectCast<TForm>(Owner());
  os::user32.SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  return true;
}

}  // namespace kyt
