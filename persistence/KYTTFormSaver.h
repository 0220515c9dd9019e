// KYTTFormSaver: keeps the window state, bounds and visibility of every form of the application,
// and the bounds and visibility of their controls, between runs through an embedded data store.
#ifndef KYT_PERSISTENCE_KYTTFORMSAVER_H
#define KYT_PERSISTENCE_KYTTFORMSAVER_H

#include <memory>

#include <cstdint>
#include <string>

#include "framework/KYTTFormHook.h"
#include "host/core/Events.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"
#include "persistence/KYTTStoreData.h"

namespace kyt {

// Asked once per control while storing: Sender is the control; set Result false to skip the
// control and every control inside it.
using TKYTOnStoreControl = TEvent<TObject*, bool&>;

class TKYTFormSaver : public TKYTHookComponent {
  KYT_CLASS(TKYTFormSaver, TKYTHookComponent)
 public:
  static void Publish(TPublisher<TKYTFormSaver>& p) {
    // Where the bounds are kept (registry key or ini file) and the values read when one is missing;
    // its Enabled switches the saver on and off.
    p.Property("FormStore", &TKYTFormSaver::FormStore, &TKYTFormSaver::SetFormStore);
    // Keeps the width and height of the forms (their normal size when maximised or minimised) and
    // of their controls.
    p.Property("StoreSize", &TKYTFormSaver::StoreSize, &TKYTFormSaver::SetStoreSize)
        .Default(true);
    // Keeps the left and top position of the forms and of their controls.
    p.Property("StoreLocation", &TKYTFormSaver::StoreLocation, &TKYTFormSaver::SetStoreLocation)
        .Default(true);
    // Keeps whether each form was normal, minimised or maximised.
    p.Property("StoreState", &TKYTFormSaver::StoreState, &TKYTFormSaver::SetStoreState)
        .Default(true);
    // Keeps whether each form and control was visible.
    p.Property("StoreVisible", &TKYTFormSaver::StoreVisible, &TKYTFormSaver::SetStoreVisible)
        .Default(true);
    // Keeps the controls of each form too, every control by its name; OnStoreControl can leave some
    // out.
    p.Property("StoreControls", &TKYTFormSaver::StoreControls, &TKYTFormSaver::SetStoreControls);
    // Fired once before the forms are stored, with Sender the owner form.
    p.Property("OnStore", &TKYTFormSaver::OnStore, &TKYTFormSaver::SetOnStore);
    // Asked for each control before it is stored; set Result false to skip it and the controls
    // inside it.
    p.Property("OnStoreControl", &TKYTFormSaver::OnStoreControl,
               &TKYTFormSaver::SetOnStoreControl);
    // Fired once after the forms were restored (also when the store is disabled), with Sender the
    // owner form.
    p.Property("OnRestore", &TKYTFormSaver::OnRestore, &TKYTFormSaver::SetOnRestore);
  }

  // At run time takes over the owner form's OnShow (restore) and OnClose (store) and chains to
  // the handlers it found there; in the designing state the form's events are left alone.
  explicit TKYTFormSaver(TComponent* AOwner);
  ~TKYTFormSaver() override;

  // Properties
  // Owned; its setter copies the settings given. Its Enabled switches the whole saver.
  TKYTDataStore* FormStore() const { return FFormStore; }
  void SetFormStore(TKYTDataStore* value);
  bool StoreSize() const { return FStoreSize; }
  void SetStoreSize(bool value) { FStoreSize = value; }
  bool StoreLocation() const { return FStoreLocation; }
  void SetStoreLocation(bool value) { FStoreLocation = value; }
  bool StoreState() const { return FStoreState; }
  void SetStoreState(bool value) { FStoreState = value; }
  bool StoreVisible() const { return FStoreVisible; }
  void SetStoreVisible(bool value) { FStoreVisible = value; }
  bool StoreControls() const { return FStoreControls; }
  void SetStoreControls(bool value) { FStoreControls = value; }

  // Events
  // Fired once before storing, with Sender = the owner form.
  TNotifyEvent OnStore() const { return FOnStore; }
  void SetOnStore(TNotifyEvent value) { FOnStore = value; }
  TKYTOnStoreControl OnStoreControl() const { return FOnStoreControl; }
  void SetOnStoreControl(TKYTOnStoreControl value) { FOnStoreControl = value; }
  // Fired once after restoring (also when the store is disabled), with Sender = the owner form.
  TNotifyEvent OnRestore() const { return FOnRestore; }
  void SetOnRestore(TNotifyEvent value) { FOnRestore = value; }

  // Methods
  // Store every form as if the owner form were closing; restore as if it were being shown. A
  // store is one change of FormStore (see WriteAll): when a value cannot be written it raises
  // and the values of the last store stay whole.
  void Store();
  void Restore();
  // Read through FormStore with Default as its error value (the change stays).
  int32_t ReadInt(const std::string& Name, int32_t Default);
  std::string ReadStr(const std::string& Name, const std::string& Default);
  bool ReadBool(const std::string& Name, bool Default);

  void StoreWindow(TForm* Form);
  void RestoreWindow(TForm* Form);
  void StoreControl(TControl* Control);
  void RestoreControl(TControl* Control);
  // Captures the owner form's bounds before a maximise or minimise command changes them.
  void BeforeMaximize();

  // The routines installed as the owner form's OnClose and OnShow handlers.
  void MyStore(TObject* Sender, TCloseAction& Action);
  void MyRestore(TObject* Sender);

 protected:
  void Hooked(TMessage& Message) override;

 private:
  // Keeps FormStore for the outermost store or restore under way (see the source).
  class TStoreHold;

  // The work of the public routines above. A handler may free the saver on the way (the
  // store's OnError, OnStoreControl, a form's handlers run by its new bounds): they then throw
  // TSaverGone (see the source), which the routine that made run catches.
  void StoreWindowIn(TForm* Form, const TStoreHold& run);
  void StoreControlIn(TControl* Control, const TStoreHold& run);
  void RestoreWindowIn(TForm* Form, const TStoreHold& run);
  void RestoreControlIn(TControl* Control, const TStoreHold& run);
  // Writes a form's normal bounds as the platform keeps them, for forms other than the owner.
  void StoreOtherBounds(TForm* Form, const std::string& prefix, const TStoreHold& run);
  // One value written or read, then the check that the saver is still there.
  void Put(const TStoreHold& run, const std::string& name, int32_t value);
  void PutBool(const TStoreHold& run, const std::string& name, bool value);
  int32_t Get(const TStoreHold& run, const std::string& name, int32_t fallback);
  bool GetBool(const TStoreHold& run, const std::string& name, bool fallback);

  TKYTDataStore* FFormStore = nullptr;
  std::unique_ptr<TKYTDataStore>* FStoreKeeper = nullptr;  // where a freed saver leaves FFormStore
  TCustomForm* FOwnerForm = nullptr;
  bool FStoreSize = true;
  bool FStoreLocation = true;
  bool FStoreState = true;
  bool FStoreVisible = true;
  bool FStoreControls = true;
  bool FEventsTaken = false;
  TNotifyEvent FOnStore;
  TKYTOnStoreControl FOnStoreControl;
  TNotifyEvent FOnRestore;
  TNotifyEvent FOldOnShow;
  TCloseEvent FOldOnClose;
  int32_t FNormalLeft = 0;
  int32_t FNormalTop = 0;
  int32_t FNormalWidth = 0;
  int32_t FNormalHeight = 0;
  bool FCaptured = false;
};

}  // namespace kyt

#endif  // KYT_PERSISTENCE_KYTTFORMSAVER_H
