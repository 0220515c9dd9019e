// DesignerContext: what the designer's windows share. The model, the form being designed, the
// class chosen on the palette, and the news every view is told (a form changed, the selection
// changed, another form became the current one). A view never changes a component itself: it
// sends the model a command and is told of the change like every other view.
#ifndef KYT_TOOLS_DESIGNER_DESIGNERCONTEXT_H
#define KYT_TOOLS_DESIGNER_DESIGNERCONTEXT_H

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "host/design/DesignModel.h"

namespace kyt {

enum class TDesignerNews {
  Form,       // the current form's components or values changed (or its form was rebuilt)
  Selection,  // the current form's selection changed, nothing else
  Current,    // another form is the current one, or none is
  Palette,    // the palette's chosen class changed
};

class TDesignerView {
 public:
  virtual ~TDesignerView() = default;
  virtual void DesignerNews(TDesignerNews news) = 0;
};

class TDesignerContext {
 public:
  TDesignerContext() = default;
  TDesignerContext(const TDesignerContext&) = delete;
  TDesignerContext& operator=(const TDesignerContext&) = delete;
  ~TDesignerContext();

  TDesignModel& Model() { return FModel; }

  // The form the palette places on and the inspector shows; null when no form is open.
  TDesignSession* Current() const { return FCurrent; }
  void SetCurrent(TDesignSession* session);
  // Opens a session's form in the designer: its changes reach every view from now on.
  TDesignSession& Adopt(TDesignSession& session);
  // Closes a form (no question asked: the caller asked about saving).
  void Close(TDesignSession& session);

  // The palette class the next click on a form places; empty for the arrow (select).
  const std::string& PendingClass() const { return FPendingClass; }
  void SetPendingClass(const std::string& className);

  // Selects on the current form and tells the views.
  void Select(const std::vector<TComponent*>& components);

  // Runs a command of a view on the model. What it raises is shown as a message box with its
  // message (the form stays as the model left it) and false is returned.
  bool Try(const std::function<void()>& command);
  // How a failure is shown: a message box by default; tests and the console may replace it.
  std::function<void(const std::string& message)> OnReport;
  void Report(const std::string& message);

  void Subscribe(TDesignerView* view);
  void Unsubscribe(TDesignerView* view);
  void Tell(TDesignerNews news);

  // Lets every open form's components run (timers, posted messages); views hear of what changed.
  void Idle();

 private:
  TDesignModel FModel;
  TDesignSession* FCurrent = nullptr;
  std::string FPendingClass;
  std::vector<TDesignerView*> FViews;
  bool FTelling = false;
};

}  // namespace kyt

#endif  // KYT_TOOLS_DESIGNER_DESIGNERCONTEXT_H
