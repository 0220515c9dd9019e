// DesignModel: the form designer's model, with no window of its own. One session per open form
// holds the designed form, its file, the selection, the undo history and the clipboard's text
// form; the model holds the open sessions. Every change a view or a tool makes goes through a
// session, so undo, the modified flag and every view stay right.
#ifndef KYT_HOST_DESIGN_DESIGNMODEL_H
#define KYT_HOST_DESIGN_DESIGNMODEL_H

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Exceptions.h"
#include "host/design/DesignForm.h"
#include "host/design/Designer.h"

namespace kyt {

// An operation the designer refuses (no such component, the form itself deleted, no file name).
class EDesignError : public Exception { using Exception::Exception; };

// Most undo steps a session keeps; the oldest goes first.
inline constexpr size_t kMaxUndoSteps = 1000;
// How far a pasted component lands from where its copy was.
inline constexpr int32_t kPasteOffset = 8;

// One entry of a selection's context menu. Action verbs run an entry's editor (About, the
// execute test); the others are the designer's own.
struct TDesignVerb {
  std::string Caption;
  std::string Entry;  // the inspector entry it runs; empty for the designer's own verbs
};

class TDesignSession;

// The open forms.
class TDesignModel {
 public:
  TDesignModel() = default;
  TDesignModel(const TDesignModel&) = delete;
  TDesignModel& operator=(const TDesignModel&) = delete;
  ~TDesignModel();

  // A new unsaved form of class rootClass (named after it without the T); without one, the
  // first of TForm1, TForm2, ... that no open form has. EDesignError for a class name that is
  // no identifier starting with T.
  TDesignSession& New(const std::string& rootClass = {});
  // The same, at a place on the screen a designer chooses for it (not a change to undo).
  TDesignSession& NewAt(int32_t left, int32_t top, const std::string& rootClass = {});
  // A new unsaved form of class rootClass inherited from the form of an open session.
  TDesignSession& NewInherited(const std::string& rootClass, TDesignSession& ancestor);
  // The form of a file; the session already open for it when there is one. A file that does
  // not read raises (EReadError names the line and column) and no session is added.
  TDesignSession& Open(const std::string& path);
  // The form of an inherited form's file (one that starts with `inherited`), built on the form
  // of the open session ancestor, whose form class its root class derives from. Saving it
  // writes only what differs from the ancestor's form.
  TDesignSession& OpenInherited(const std::string& path, TDesignSession& ancestor);
  // Closes a session, freeing its form and components (a session an open inherited form
  // builds on cannot be closed: EDesignError). Unsaved changes are lost: ask Modified first.
  void Close(TDesignSession& session);

  const std::vector<std::unique_ptr<TDesignSession>>& Sessions() const { return FSessions; }

  // The designer's clipboard: form text, shared by every open form.
  const std::string& Clipboard() const { return FClipboard; }
  void SetClipboard(const std::string& text) { FClipboard = text; }

 private:
  std::vector<std::unique_ptr<TDesignSession>> FSessions;
  std::string FClipboard;
};

// One open form.
class TDesignSession {
 public:
  TDesignSession(const TDesignSession&) = delete;
  TDesignSession& operator=(const TDesignSession&) = delete;
  ~TDesignSession();

  // The designed form: replaced by a new one on undo, redo and paste, so hold names, not
  // pointers, across those.
  TDesignForm& Form() { return *FForm; }
  TFormDesigner* Designer() { return FDesigner.get(); }
  // The form's text as the writer gives it now (an inherited form's whole text).
  const std::string& Text() const { return FText; }

  // File
  const std::string& FileName() const { return FFileName; }
  // Whether the form differs from what was last saved or opened.
  bool Modified() const { return FText != FSavedText; }
  // Saves to FileName (EDesignError without one). The file is replaced at once from a
  // temporary beside it; the text it had before stays beside it as NAME.~kfm.
  void Save();
  void SaveAs(const std::string& path);

  // The form or one of its components by name; EDesignError when there is none.
  TComponent* Find(const std::string& name);

  // Selection: components of this form (the form itself too). A selected component that is
  // freed leaves the selection at once.
  const std::vector<TComponent*>& Selection() const { return FSelection; }
  void Select(const std::vector<TComponent*>& components);
  void SelectNames(const std::vector<std::string>& names);
  void ClearSelection() { Select({}); }

  // Changes; each is one undo step, and leaves the form as it was when it raises.

  // Places a component of a palette class at x, y (a control's Left and Top, or a non-visual
  // component's place on the form) with name, or the first free default name: the class name
  // without its T (and the package's KYT), then 1, 2, ... Selects it.
  TComponent* Place(const std::string& className, int32_t x, int32_t y, const std::string& name = {});
  // The same where no place was given: a non-visual component then stores none.
  TComponent* Place(const std::string& className, const std::string& name = {});
  // Moves a control, or sets a non-visual component's place.
  void Move(TComponent* component, int32_t x, int32_t y);
  // Moves every selected component (the form itself stays) by dx, dy: one step.
  void MoveSelection(int32_t dx, int32_t dy);
  // A control's bounds, as its handles resize it (EDesignError for a non-visual component).
  void SetBounds(TComponent* control, int32_t left, int32_t top, int32_t width, int32_t height);
  // Selects every component of the form (not the form itself; the form when it has none).
  void SelectAll();
  // Deletes the selected components (the form itself cannot be deleted).
  void DeleteSelection();
  // The selection as form text: one object block each, in the form's order.
  std::string CopySelection() const;
  std::string CutSelection();
  // Adds the components of a clipboard text, each renamed when its name is taken, each kPasteOffset
  // further right and down, and selects them. EReadError (line and column) for text that does
  // not read, and the form stays.
  std::vector<TComponent*> Paste(const std::string& text);

  // The inspector's lines for the selection: properties, and events (handler names).
  std::vector<TInspectorLine> Properties();
  std::vector<TInspectorLine> Events();
  // Types text into an entry of the selection, as the inspector does; with several selected,
  // every one of them gets it.
  void SetValue(const std::string& path, const std::string& text);

  // Verbs of the selection: the action entries of the inspector (About; Execute Test for one
  // component that has it), then Delete, Cut, Copy and Paste.
  std::vector<TDesignVerb> Verbs();
  // Runs an action verb (by caption); an execute test that changes the form is one undo step.
  void RunVerb(const std::string& caption);

  // Undo and redo; each puts back the form's whole text of that step.
  bool CanUndo() const { return !FUndo.empty(); }
  bool CanRedo() const { return !FRedo.empty(); }
  size_t UndoCount() const { return FUndo.size(); }
  size_t RedoCount() const { return FRedo.size(); }
  void Undo();
  void Redo();

  // Lets the designed components' timers, posted messages and hooks run; what they changed
  // is the form's text from then on.
  void Idle();

  // Called after every change of the form (a view redraws).
  std::function<void()> OnChange;

 private:
  friend class TDesignModel;
  class TWatcher;
  struct TStep {
    std::string Before;
    std::string After;
  };

  TDesignSession();
  // A new form of rootClass (inheriting parent); read from text when it is not empty.
  void Build(const std::string& rootClass, const TClassInfo& parent, const std::string& text,
             const std::string& fileName);
  void BuildNew(const std::string& rootName, const std::string& rootClass, const TClassInfo& parent);
  TComponent* PlaceAt(const std::string& className, const std::string& name, const int32_t* at);
  void ReadFile(const std::string& path);
  void ReadInheritedFile(const std::string& path);
  // Runs a change as one step: when it raises, the form is put back and nothing is recorded.
  void Change(const std::function<void()>& change);
  // Replaces the form by one read from text, keeping the selection by name.
  void Restore(const std::string& text);
  void Changed();
  // Takes the form's text as it is now.
  void Refresh();
  void Forget(TComponent* component);
  std::string UniqueName(const TClassInfo& cls, const std::vector<std::string>& taken = {}) const;

  std::unique_ptr<TDesignForm> FForm;
  std::unique_ptr<TFormDesigner> FDesigner;
  std::unique_ptr<TWatcher> FWatcher;
  TDesignModel* FModel = nullptr;
  // An inherited form's ancestor, which stays unchanged while the form is open (its class
  // identity is the form's parent class).
  TDesignSession* FAncestor = nullptr;
  int FDescendants = 0;
  const TClassInfo* FParentClass = nullptr;
  std::string FRootClass;
  std::string FFileName;
  std::string FText;
  std::string FSavedText;
  std::vector<TComponent*> FSelection;
  std::deque<TStep> FUndo;
  std::vector<TStep> FRedo;
};

// The backup name beside a form file: its extension replaced by .~kfm.
std::string DesignBackupName(const std::string& path);

}  // namespace kyt

#endif  // KYT_HOST_DESIGN_DESIGNMODEL_H
