// KYTTApplication: the application's title, icon, hint settings and application-wide event
// handlers, set in the form designer and handed to the application object when the form loads.
#ifndef KYT_FORMS_KYTTAPPLICATION_H
#define KYT_FORMS_KYTTAPPLICATION_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"
#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/vcl/Application.h"
#include "host/vcl/Graphics.h"

namespace kyt {

namespace KYTTApplication {
// Raised by the constructor of a second TKYTApplication in the process.
class EKYTDuplicateError : public Exception { using Exception::Exception; };
}  // namespace KYTTApplication

class TKYTApplication : private TKYTProcessSlot, public TKYTSystemsComponent {
  KYT_CLASS(TKYTApplication, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTApplication>& p) {
    // The background colour of the application's hint windows.
    p.Property("HintColor", &TKYTApplication::HintColor, &TKYTApplication::SetHintColor)
        .Default(ColorOf(0x0080FFFFu));
    // Milliseconds the mouse rests on a control before its hint shows.
    p.Property("HintPause", &TKYTApplication::HintPause, &TKYTApplication::SetHintPause).Default(800);
    // The application's icon, shown on the task bar and in the task switcher.
    p.Property("ApplicationIcon", &TKYTApplication::ApplicationIcon, &TKYTApplication::SetApplicationIcon);
    // Whether the application shows hints at all.
    p.Property("ShowHint", &TKYTApplication::ShowHint, &TKYTApplication::SetShowHint).Default(true);
    // The application's title, shown on the task bar.
    p.Property("ApplicationTitle", &TKYTApplication::ApplicationTitle, &TKYTApplication::SetApplicationTitle);
    // Fired when the application becomes the active one.
    p.Property("OnActivate", &TKYTApplication::OnActivate, &TKYTApplication::SetOnActivate);
    // Fired when the user switches to another application.
    p.Property("OnDeactivate", &TKYTApplication::OnDeactivate, &TKYTApplication::SetOnDeactivate);
    // Fired for an exception no code of the application caught, instead of the standard error
    // message.
    p.Property("OnException", &TKYTApplication::OnException, &TKYTApplication::SetOnException);
    // Fired when help is asked for, with the command and its data; the handler says whether the
    // help system is still called.
    p.Property("OnHelp", &TKYTApplication::OnHelp, &TKYTApplication::SetOnHelp);
    // Fired when the application has no messages to handle; the handler says whether to wait for
    // the next one.
    p.Property("OnIdle", &TKYTApplication::OnIdle, &TKYTApplication::SetOnIdle);
    // Fired for every message the application takes from its queue, before it is dispatched; the
    // handler may mark it handled.
    p.Property("OnMessage", &TKYTApplication::OnMessage, &TKYTApplication::SetOnMessage);
    // Fired when the application is minimised.
    p.Property("OnMinimize", &TKYTApplication::OnMinimize, &TKYTApplication::SetOnMinimize);
    // Fired when the mouse moves over a control with a hint, with the hint in the application's
    // Hint.
    p.Property("OnHint", &TKYTApplication::OnHint, &TKYTApplication::SetOnHint);
    // Fired when the minimised application is restored.
    p.Property("OnRestore", &TKYTApplication::OnRestore, &TKYTApplication::SetOnRestore);
    // Fired before a hint shows; the handler may change its text and placement or stop it.
    p.Property("OnShowHint", &TKYTApplication::OnShowHint, &TKYTApplication::SetOnShowHint);
  }

  // Copies the application's current icon, title and hint settings. A second one in the process
  // raises KYTTApplication::EKYTDuplicateError before it joins its owner.
  explicit TKYTApplication(TComponent* AOwner);
  // Freed with its owner (or by a failed form read) it takes its handlers back out of the
  // application, since they belong to that going form; freed alone it leaves them.
  ~TKYTApplication() override;

  // Properties
  // None of the setters touches the application object; Loaded hands the values over once.
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor value) { FHintColor = value; }
  int32_t HintPause() const { return FHintPause; }
  void SetHintPause(int32_t value) { FHintPause = value; }
  // Owned; the setter copies the image.
  TIcon* ApplicationIcon() const { return FApplicationIcon; }
  void SetApplicationIcon(TIcon* value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  const std::string& ApplicationTitle() const { return FApplicationTitle; }
  void SetApplicationTitle(const std::string& value) { FApplicationTitle = value; }

  // Events, forwarded unchanged to the application's events of the same names.
  const TNotifyEvent& OnActivate() const { return FEvents.OnActivate; }
  void SetOnActivate(const TNotifyEvent& value) { FEvents.OnActivate = value; }
  const TNotifyEvent& OnDeactivate() const { return FEvents.OnDeactivate; }
  void SetOnDeactivate(const TNotifyEvent& value) { FEvents.OnDeactivate = value; }
  const TExceptionEvent& OnException() const { return FEvents.OnException; }
  void SetOnException(const TExceptionEvent& value) { FEvents.OnException = value; }
  const THelpEvent& OnHelp() const { return FEvents.OnHelp; }
  void SetOnHelp(const THelpEvent& value) { FEvents.OnHelp = value; }
  const TIdleEvent& OnIdle() const { return FEvents.OnIdle; }
  void SetOnIdle(const TIdleEvent& value) { FEvents.OnIdle = value; }
  const TMessageEvent& OnMessage() const { return FEvents.OnMessage; }
  void SetOnMessage(const TMessageEvent& value) { FEvents.OnMessage = value; }
  const TNotifyEvent& OnMinimize() const { return FEvents.OnMinimize; }
  void SetOnMinimize(const TNotifyEvent& value) { FEvents.OnMinimize = value; }
  const TNotifyEvent& OnHint() const { return FEvents.OnHint; }
  void SetOnHint(const TNotifyEvent& value) { FEvents.OnHint = value; }
  const TNotifyEvent& OnRestore() const { return FEvents.OnRestore; }
  void SetOnRestore(const TNotifyEvent& value) { FEvents.OnRestore = value; }
  const TShowHintEvent& OnShowHint() const { return FEvents.OnShowHint; }
  void SetOnShowHint(const TShowHintEvent& value) { FEvents.OnShowHint = value; }

  // Methods
  void BeforeDestruction() override;

 protected:
  // Hands icon, hint settings and title to the application, then every assigned handler. In
  // the designing state the handlers stay here: the design tool's own errors and messages must
  // not reach the designed form's handlers.
  void Loaded() override;

 private:
  // The ten application events, in the order Loaded hands them over.
  struct THandlers {
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    THelpEvent OnHelp;
    TIdleEvent OnIdle;
    TNotifyEvent OnRestore;
    TNotifyEvent OnMinimize;
  };

  // Empties each application slot that still holds the handler this component handed over.
  void TakeHandlersBack();

  TColor FHintColor;
  int32_t FHintPause = 800;
  TIcon* FApplicationIcon = nullptr;
  bool FShowHint = true;
  std::string FApplicationTitle;
  bool FOwnerGoing = false;
  THandlers FEvents;
  THandlers FHanded;  // what Loaded gave the application
};

}  // namespace kyt

#endif  // KYT_FORMS_KYTTAPPLICATION_H
