// DesignerContext: the designer's shared state and the news its views are told.
#include "tools/designer/DesignerContext.h"

#include <algorithm>

#include "host/core/Exceptions.h"
#include "host/vcl/Dialogs.h"

namespace kyt {

TDesignerContext::~TDesignerContext() {
  for (const auto& session : FModel.Sessions()) session->OnChange = nullptr;
}

TDesignSession& TDesignerContext::Adopt(TDesignSession& session) {
  TDesignSession* s = &session;
  session.OnChange = [this, s] {
    if (s == FCurrent) Tell(TDesignerNews::Form);
  };
  SetCurrent(s);
  return session;
}

void TDesignerContext::SetCurrent(TDesignSession* session) {
  if (session == FCurrent) return;
  FCurrent = session;
  Tell(TDesignerNews::Current);
}

void TDesignerContext::Close(TDesignSession& session) {
  const bool current = &session == FCurrent;
  session.OnChange = nullptr;
  FModel.Close(session);
  if (!current) return;
  FCurrent = nullptr;
  SetCurrent(FModel.Sessions().empty() ? nullptr : FModel.Sessions().back().get());
  if (!FCurrent) Tell(TDesignerNews::Current);
}

void TDesignerContext::SetPendingClass(const std::string& className) {
  if (className == FPendingClass) return;
  FPendingClass = className;
  Tell(TDesignerNews::Palette);
}

void TDesignerContext::Select(const std::vector<TComponent*>& components) {
  if (!FCurrent) return;
  if (components == FCurrent->Selection()) return;
  FCurrent->Select(components);
  Tell(TDesignerNews::Selection);
}

bool TDesignerContext::Try(const std::function<void()>& command) {
  try {
    command();
    // A command may change the selection without changing the form (placing selects what it
    // placed after the form's news went round): the views look again.
    Tell(TDesignerNews::Selection);
    return true;
  } catch (const Exception& e) {
    Report(e.Message());
  } catch (const std::exception& e) {
    Report(e.what());
  }
  return false;
}

void TDesignerContext::Report(const std::string& message) {
  if (OnReport) OnReport(message);
  else ShowMessage(message);
}

void TDesignerContext::Subscribe(TDesignerView* view) {
  if (std::find(FViews.begin(), FViews.end(), view) == FViews.end()) FViews.push_back(view);
}

void TDesignerContext::Unsubscribe(TDesignerView* view) {
  std::replace(FViews.begin(), FViews.end(), view, static_cast<TDesignerView*>(nullptr));
  if (!FTelling) FViews.erase(std::remove(FViews.begin(), FViews.end(), nullptr), FViews.end());
}

void TDesignerContext::Tell(TDesignerNews news) {
  // A view may leave (or a new one come) while the news goes round: a copy is walked, and a
  // view that left on the way is skipped.
  const bool outer = !FTelling;
  FTelling = true;
  const std::vector<TDesignerView*> views = FViews;
  for (TDesignerView* view : views)
    if (std::find(FViews.begin(), FViews.end(), view) != FViews.end() && view) view->DesignerNews(news);
  if (outer) {
    FTelling = false;
    FViews.erase(std::remove(FViews.begin(), FViews.end(), nullptr), FViews.end());
  }
}

void TDesignerContext::Idle() {
  for (const auto& session : FModel.Sessions()) session->Idle();
}

}  // namespace kyt
