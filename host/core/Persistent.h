// Persistent: class identity (TObject, TClassInfo), persistent objects, published-property
// metadata and the class registry that streaming creates objects through.
#ifndef KYT_HOST_CORE_PERSISTENT_H
#define KYT_HOST_CORE_PERSISTENT_H

#include <bit>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/core/Sets.h"
#include "host/core/TypeInfo.h"

namespace kyt {

class TObject;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TStrings;
class TClassInfo;
template <class T>
class TPublisher;
template <class T>
class TMethodPublisher;

// Root of every class with class identity.
class TObject {
 public:
  TObject() = default;
  virtual ~TObject();
  virtual const TClassInfo& ClassType() const;
  std::string ClassName() const;
  bool InheritsFrom(const TClassInfo& cls) const;
  static const TClassInfo& StaticClass();
};

// Kinds of published properties; deduced from the getter's return type.
enum TPropKind {
  pkInteger, pkBoolean, pkChar, pkString, pkEnum, pkSet, pkColor,
  pkClass, pkStrings, pkCollection, pkComponentRef, pkEvent, pkBinary, pkFloat
};

// Stored rules. Auto (no rule given): compared with the declared default when there is one,
// otherwise always stored, except lists, collections, binary data, references and events,
// which are stored when not empty, and floating-point values (which take no declared default),
// stored unless they are 0 (a negative zero is stored: it reads back as itself).
enum class TStored { Auto, Never, Always, WhenNotDefault };

// Metadata and generic access of one published property.
class TPropInfo {
 public:
  virtual ~TPropInfo();
  TPropInfo(const TPropInfo&) = delete;
  TPropInfo& operator=(const TPropInfo&) = delete;

  const std::string& Name() const { return FName; }
  TPropKind Kind() const { return FKind; }
  // The type name property editors are registered for ("Integer", "TKYTAboutStr", ...).
  const std::string& TypeName() const { return FTypeName; }
  bool HasDefault() const { return FHasDefault; }
  int64_t DefaultOrd() const { return FDefaultOrd; }
  bool IsReadOnly() const { return FReadOnly; }
  TStored StoredRule() const { return FStored; }
  // Whether an Auto rule also asks a condition of the object (StoredIf).
  bool HasStoredCondition() const { return static_cast<bool>(FStoredIf); }
  // Longest accepted string (short-string types); 0 means unlimited.
  size_t MaxLength() const { return FMaxLength; }
  // Ordinal range (Integer kinds, Char, Boolean, enumerations, colours).
  int64_t MinValue() const { return FMinValue; }
  int64_t MaxValue() const { return FMaxValue; }
  // Member names of enumeration and set properties; null for other kinds.
  const TEnumInfo* EnumType() const { return FEnumType; }
  // Declared class of object kinds (Class, Strings, Collection, ComponentRef); null otherwise.
  const TClassInfo* ObjectClass() const { return FObjectClass ? &FObjectClass() : nullptr; }
  // Signature tag of event properties; null otherwise.
  const void* EventSignature() const { return FEventSignature; }

  // Whether the writer stores the property of obj (see TStored).
  bool IsStored(const TPersistent* obj) const;
  // Whether the value equals the declared default (false without one).
  virtual bool IsDefaultValue(const TPersistent* obj) const = 0;

  // Generic access; the wrong kind raises EConvertError, an out-of-range ordinal ERangeError.
  virtual int64_t GetOrd(const TPersistent* obj) const;
  virtual void SetOrd(TPersistent* obj, int64_t value) const;
  virtual std::string GetStr(const TPersistent* obj) const;
  virtual void SetStr(TPersistent* obj, const std::string& value) const;
  // Owned sub-object (Class, Strings, Collection) or referenced component.
  virtual TPersistent* GetObject(const TPersistent* obj) const;
  virtual void SetObject(TPersistent* obj, TPersistent* value) const;
  virtual TMethod GetMethod(const TPersistent* obj) const;
  // A handler made for another event signature raises EConvertError.
  virtual void SetMethod(TPersistent* obj, const TMethod& value) const;
  virtual std::vector<uint8_t> GetBinary(const TPersistent* obj) const;
  virtual void SetBinary(TPersistent* obj, const std::vector<uint8_t>& value) const;
  virtual double GetFloat(const TPersistent* obj) const;
  virtual void SetFloat(TPersistent* obj, double value) const;

  // Inspector text of a value: "True", "bDefault", "[mbOK, mbCancel]", a string unquoted,
  // a colour name or "$00BBGGRR", "(TStrings)" for objects, a component's name.
  std::string ValueText(const TPersistent* obj) const;
  void SetValueText(TPersistent* obj, const std::string& text) const;
  // Inspector text of an ordinal of this property's kind (its declared default, for one);
  // empty for kinds that are not ordinal.
  std::string OrdinalText(int64_t ordinal) const;

 protected:
  TPropInfo(std::string name, TPropKind kind);
  // True when the value is "empty": zero, empty text, no items, no handler, no reference.
  virtual bool IsEmptyValue(const TPersistent* obj) const;
  [[noreturn]] void WrongKind(const char* access) const;
  // Inline tests, out-of-line errors: the form reader assigns through these for every value.
  void CheckRange(int64_t value) const {
    if (FKind == pkSet ? (static_cast<uint64_t>(value) & ~static_cast<uint64_t>(FMaxValue)) != 0
                       : value < FMinValue || value > FMaxValue)
      RangeError(value);
  }
  void CheckWritable() const {
    if (FReadOnly) ReadOnlyError();
  }
  [[noreturn]] void RangeError(int64_t value) const;
  [[noreturn]] void ReadOnlyError() const;

  std::string FName;
  TPropKind FKind;
  std::string FTypeName;
  bool FHasDefault = false;
  int64_t FDefaultOrd = 0;
  bool FReadOnly = false;
  TStored FStored = TStored::Auto;
  std::function<bool(const TPersistent*)> FStoredIf;
  size_t FMaxLength = 0;
  int64_t FMinValue = 0;
  int64_t FMaxValue = 0;
  const TEnumInfo* FEnumType = nullptr;
  const TClassInfo& (*FObjectClass)() = nullptr;
  const void* FEventSignature = nullptr;
};

// A method a root class publishes so form files can name it as an event handler.
struct TPublishedMethod {
  std::string Name;
  void (*Code)() = nullptr;
  const void* Signature = nullptr;
  // The receiver pointer an event bound to this method carries for obj (null if obj is not one).
  void* (*ReceiverOf)(TObject* obj) = nullptr;
};

// Class identity: name, parent, factories, published properties (inherited first) and methods.
class TClassInfo {
 public:
  using ComponentFactory = TComponent* (*)(TComponent* owner);
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);
  using PersistentFactory = TPersistent* (*)();

  // Root class info (TObject); other classes come from KYT_CLASS.
  TClassInfo(std::string name, const TClassInfo* parent);
  template <class Cls>
  TClassInfo(std::type_identity<Cls>, const char* name, const TClassInfo* parent);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& Name() const { return FName; }
  const TClassInfo* Parent() const { return FParent; }
  bool InheritsFrom(const TClassInfo& other) const;
  const std::vector<const TPropInfo*>& Properties() const { return FProperties; }
  // Case-insensitive; null when the class publishes no such property.
  const TPropInfo* FindProperty(std::string_view name) const;
  const std::vector<const TPublishedMethod*>& Methods() const { return FMethods; }
  const TPublishedMethod* FindMethod(const std::string& name) const;

  bool IsComponentClass() const { return FIsComponent; }
  // Whether the class or one between it and TComponent overrides Notification: an owner tells
  // its other components of insertions and removals only where this holds or the base class has
  // work to do (owned components, free-notification links).
  bool OverridesNotification() const { return FOverridesNotification; }
  bool CanCreateComponent() const { return FComponentFactory != nullptr; }
  bool CanCreateItem() const { return FItemFactory != nullptr; }
  bool CanCreatePersistent() const { return FPersistentFactory != nullptr; }
  // Factories; an abstract class or one without that constructor raises EFilerError.
  TComponent* CreateComponent(TComponent* owner) const;
  TCollectionItem* CreateItem(TCollection* collection) const;
  TPersistent* CreatePersistent() const;

  // Used while a class publishes: a property named like an inherited one replaces it in place.
  void AddProperty(std::unique_ptr<TPropInfo> prop);
  void AddMethod(TPublishedMethod method);

 private:
  std::string FName;
  const TClassInfo* FParent;
  bool FIsComponent = false;
  bool FOverridesNotification = false;
  ComponentFactory FComponentFactory = nullptr;
  ItemFactory FItemFactory = nullptr;
  PersistentFactory FPersistentFactory = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> FOwnProperties;
  std::vector<const TPropInfo*> FProperties;
  // FProperties by case-folded name hash, open addressing (a power of two long, at most half
  // full): the form reader looks up every property it reads.
  std::vector<const TPropInfo*> FPropertyIndex;
  void IndexProperties();
  std::vector<std::unique_ptr<TPublishedMethod>> FOwnMethods;
  std::vector<const TPublishedMethod*> FMethods;
};

// Class macro at the top of every class with class identity. Defines `inherited`,
// StaticClass() and ClassType(). A class without its own Publish inherits its parent's table.
#define KYT_CLASS(Cls, ...)                                                            \
 public:                                                                               \
  using inherited = __VA_ARGS__;                                                       \
  static const ::kyt::TClassInfo& StaticClass() {                                      \
    /* never destroyed: objects freed at exit still ask for their class */             \
    static const ::kyt::TClassInfo& info = *new ::kyt::TClassInfo{                    \
        std::type_identity<Cls>{}, #Cls, &inherited::StaticClass()};                   \
    return info;                                                                       \
  }                                                                                    \
  const ::kyt::TClassInfo& ClassType() const override { return StaticClass(); }        \
                                                                                       \
 private:

// An object that can copy itself from another (Assign) and be streamed.
class TPersistent : public TObject {
  KYT_CLASS(TPersistent, TObject)
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;

  // Copies source; classes that do not handle it ask source->AssignTo(this).
  virtual void Assign(const TPersistent* source);
  // The object that owns this one for streaming paths; null by default.
  virtual TPersistent* GetOwner() const;

 protected:
  // Raises EConvertError "Cannot assign a <source> to a <dest>".
  virtual void AssignTo(TPersistent* dest) const;
};

// Checked class conversion; throws EInvalidCast when obj is not a T (null gives null).
template <class T>
T* ObjectCast(TObject* obj) {
  if (!obj) return nullptr;
  if (T* result = dynamic_cast<T*>(obj)) return result;
  throw EInvalidCast("Invalid class typecast: " + obj->ClassName() + " is not a " + T::StaticClass().Name());
}
template <class T>
const T* ObjectCast(const TObject* obj) {
  return ObjectCast<T>(const_cast<TObject*>(obj));
}

// Class registry used by the form reader. Registering one class twice is fine; another class
// under a registered name raises EFilerError.
void RegisterClass(const TClassInfo& cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
void UnRegisterClass(const TClassInfo& cls);
// Case-insensitive; null when unknown.
const TClassInfo* FindClass(std::string_view name);

// Event handlers by name: the root's published method as a TMethod bound to root (false when
// the root publishes no such method), and the name of the published method m is (empty if none).
bool FindPublishedMethod(TObject& root, const std::string& name, TMethod& method);
std::string PublishedMethodName(const TObject& root, const TMethod& method);

// Stand-ins: a component that takes over an event slot puts its own handler there and calls the
// handler it found. While it sits in the slot, form files and the designer must see and set the
// handler it stands in for, not its own. The component registers its handler with a way to read
// and replace the handler it keeps, and unregisters it before it goes.
struct TMethodStandIn {
  std::function<TMethod()> Replaced;
  std::function<void(const TMethod&)> SetReplaced;
};
// Registering a handler again replaces its entry.
void RegisterMethodStandIn(const TMethod& standIn, TMethodStandIn access);
// Removes the entry; another stand-in that keeps this one as its replaced handler is given the
// handler this one kept, so a chain of stand-ins stays whole whichever leaves first. Not an error
// when the handler is not registered.
void UnregisterMethodStandIn(const TMethod& standIn);
// The handler a slot holding method stands for: through every stand-in to the handler the
// innermost one replaced; method itself when it is no stand-in.
TMethod StoodInMethod(const TMethod& method);
// Whether a slot holding slot reaches target: slot is target, or a stand-in whose chain of
// replaced handlers passes through it.
bool MethodChainHolds(const TMethod& slot, const TMethod& target);
// Gives a slot holding slot a new handler of its own: where slot is a stand-in, the innermost
// stand-in keeps value and true is returned; otherwise false, and the caller sets the slot.
bool SetStoodInMethod(const TMethod& slot, const TMethod& value);
// Takes standIn out of the chain that a slot holding slot reaches, for a stand-in that steps
// aside for a while: returns the slot's new handler, which is what standIn kept when the slot
// holds standIn itself; otherwise the stand-in in front of it is handed what standIn kept, and
// slot is returned unchanged.
TMethod MethodChainWithout(const TMethod& slot, const TMethod& standIn);

// Copies every published property of source that dest's class publishes under the same name and
// kind (sub-objects, lists and collections by Assign). Used by items' Assign and by the reader.
void CopyPublishedProperties(const TPersistent& source, TPersistent& dest);

namespace detail {

template <class T>
struct IsEvent : std::false_type {};
template <class... A>
struct IsEvent<TEvent<A...>> : std::true_type {};

template <class>
inline constexpr bool kAlwaysFalse = false;

template <class V>
constexpr TPropKind KindOf() {
  if constexpr (std::is_same_v<V, bool>) return pkBoolean;
  else if constexpr (std::is_same_v<V, char>) return pkChar;
  else if constexpr (std::is_same_v<V, TColor>) return pkColor;
  else if constexpr (HasEnumInfo<V>) return pkEnum;
  else if constexpr (std::is_integral_v<V>) return pkInteger;
  else if constexpr (std::is_same_v<V, double>) return pkFloat;  // TDateTime is a double too
  else if constexpr (IsSet<V>::value) return pkSet;
  else if constexpr (std::is_same_v<V, std::string>) return pkString;
  else if constexpr (std::is_same_v<V, std::vector<uint8_t>>) return pkBinary;
  else if constexpr (IsEvent<V>::value) return pkEvent;
  else if constexpr (std::is_pointer_v<V>) {
    using P = std::remove_cv_t<std::remove_pointer_t<V>>;
    if constexpr (std::is_base_of_v<TStrings, P>) return pkStrings;
    else if constexpr (std::is_base_of_v<TCollection, P>) return pkCollection;
    else if constexpr (std::is_base_of_v<TComponent, P>) return pkComponentRef;
    else if constexpr (std::is_base_of_v<TPersistent, P>) return pkClass;
    else static_assert(kAlwaysFalse<V>, "object properties must be TPersistent descendants");
  } else {
    static_assert(kAlwaysFalse<V>, "unsupported published property type");
  }
}

template <class V>
std::string DefaultTypeName() {
  if constexpr (std::is_same_v<V, bool>) return "Boolean";
  else if constexpr (std::is_same_v<V, char>) return "Char";
  else if constexpr (std::is_same_v<V, TColor>) return "TColor";
  else if constexpr (HasEnumInfo<V>) return EnumInfo<V>().Name;
  else if constexpr (std::is_same_v<V, uint8_t>) return "Byte";
  else if constexpr (std::is_same_v<V, uint16_t>) return "Word";
  else if constexpr (std::is_same_v<V, uint32_t>) return "Cardinal";
  else if constexpr (std::is_same_v<V, int64_t>) return "Int64";
  else if constexpr (std::is_same_v<V, int16_t>) return "SmallInt";
  else if constexpr (std::is_same_v<V, int8_t>) return "ShortInt";
  else if constexpr (std::is_integral_v<V>) return "Integer";
  else if constexpr (std::is_same_v<V, double>) return "Double";
  else if constexpr (IsSet<V>::value) return "set of " + EnumInfo<typename V::Element>().Name;
  else if constexpr (std::is_same_v<V, std::string>) return "string";
  else if constexpr (std::is_same_v<V, std::vector<uint8_t>>) return "TBinary";
  else if constexpr (IsEvent<V>::value) return "TMethod";
  else return {};  // object kinds: the declared class name, filled in lazily
}

template <class C>
concept DeclaresPublish = requires {
  { &C::Publish } -> std::same_as<void (*)(TPublisher<C>&)>;
};
template <class C>
concept DeclaresPublishMethods = requires {
  { &C::PublishMethods } -> std::same_as<void (*)(TMethodPublisher<C>&)>;
};

// Typed property of class T read with getter G and written with setter S (nullptr_t: read-only).
template <class T, class G, class S>
class TPropImpl final : public TPropInfo {
 public:
  using V = std::remove_cvref_t<std::invoke_result_t<G&, T&>>;
  static constexpr TPropKind kKind = KindOf<V>();

  TPropImpl(std::string name, G getter, S setter)
      : TPropInfo(std::move(name), kKind), FGetter(getter), FSetter(setter) {
    FTypeName = DefaultTypeName<V>();
    FReadOnly = std::is_same_v<S, std::nullptr_t>;
    InitRange();
  }

  // Modifiers, chained after Property(...). A floating-point property takes no declared
  // default: it is stored unless it is 0, or as its stored rule says.
  TPropImpl& Default(V value)
    requires(kKind != pkFloat)
  {
    FDefault = std::move(value);
    FHasDefault = true;
    if constexpr (IsOrdinal()) FDefaultOrd = ToOrd(*FDefault);
    return *this;
  }
  TPropImpl& Stored(TStored rule) { FStored = rule; return *this; }
  TPropImpl& StoredIf(std::function<bool(const T&)> predicate) {
    FStoredIf = [predicate = std::move(predicate)](const TPersistent* obj) {
      return predicate(static_cast<const T&>(*obj));
    };
    return *this;
  }
  TPropImpl& TypeName(const char* name) { FTypeName = name; return *this; }
  TPropImpl& MaxLength(size_t length) { FMaxLength = length; return *this; }

  bool IsDefaultValue(const TPersistent* obj) const override {
    if constexpr (std::equality_comparable<V>) return FDefault.has_value() && Get(obj) == *FDefault;
    else return false;
  }

  int64_t GetOrd(const TPersistent* obj) const override {
    if constexpr (IsOrdinal()) return ToOrd(Get(obj));
    else WrongKind("an ordinal");
  }
  void SetOrd(TPersistent* obj, int64_t value) const override {
    if constexpr (IsOrdinal()) {
      CheckWritable();
      CheckRange(value);
      Set(obj, FromOrd(value));
    } else {
      WrongKind("an ordinal");
    }
  }
  std::string GetStr(const TPersistent* obj) const override {
    if constexpr (std::is_same_v<V, std::string>) return Get(obj);
    else WrongKind("a string");
  }
  void SetStr(TPersistent* obj, const std::string& value) const override {
    if constexpr (std::is_same_v<V, std::string>) {
      CheckWritable();
      if (FMaxLength && value.size() > FMaxLength) Set(obj, value.substr(0, FMaxLength));
      else Set(obj, value);
    } else {
      WrongKind("a string");
    }
  }
  TPersistent* GetObject(const TPersistent* obj) const override {
    if constexpr (std::is_pointer_v<V>) {
      return const_cast<TPersistent*>(static_cast<const TPersistent*>(Get(obj)));
    } else {
      WrongKind("an object");
    }
  }
  void SetObject(TPersistent* obj, TPersistent* value) const override {
    if constexpr (std::is_pointer_v<V>) {
      CheckWritable();
      using P = std::remove_pointer_t<V>;
      P* typed = value ? dynamic_cast<P*>(value) : nullptr;
      if (value && !typed)
        throw EInvalidCast("Cannot assign a " + value->ClassName() + " to property " + FName);
      Set(obj, typed);
    } else {
      WrongKind("an object");
    }
  }
  TMethod GetMethod(const TPersistent* obj) const override {
    if constexpr (IsEvent<V>::value) return Get(obj).Method();
    else WrongKind("an event");
  }
  void SetMethod(TPersistent* obj, const TMethod& value) const override {
    if constexpr (IsEvent<V>::value) {
      CheckWritable();
      if (value.Code && value.Signature != V::SignatureTag())
        throw EConvertError("Incompatible handler for event " + FName);
      Set(obj, V::FromMethod(value));
    } else {
      WrongKind("an event");
    }
  }
  double GetFloat(const TPersistent* obj) const override {
    if constexpr (kKind == pkFloat) return Get(obj);
    else WrongKind("a floating-point value");
  }
  void SetFloat(TPersistent* obj, double value) const override {
    if constexpr (kKind == pkFloat) {
      CheckWritable();
      Set(obj, value);
    } else {
      WrongKind("a floating-point value");
    }
  }
  std::vector<uint8_t> GetBinary(const TPersistent* obj) const override {
    if constexpr (std::is_same_v<V, std::vector<uint8_t>>) return Get(obj);
    else WrongKind("binary data");
  }
  void SetBinary(TPersistent* obj, const std::vector<uint8_t>& value) const override {
    if constexpr (std::is_same_v<V, std::vector<uint8_t>>) {
      CheckWritable();
      Set(obj, value);
    } else {
      WrongKind("binary data");
    }
  }

 protected:
  bool IsEmptyValue(const TPersistent* obj) const override {
    if constexpr (IsOrdinal()) return ToOrd(Get(obj)) == 0;
    else if constexpr (kKind == pkFloat) return std::bit_cast<uint64_t>(Get(obj)) == 0;
    else if constexpr (std::is_same_v<V, std::string> || std::is_same_v<V, std::vector<uint8_t>>) return Get(obj).empty();
    else if constexpr (IsEvent<V>::value) return !Get(obj);
    else return TPropInfo::IsEmptyValue(obj);
  }

 private:
  static constexpr bool IsOrdinal() {
    return kKind == pkInteger || kKind == pkBoolean || kKind == pkChar || kKind == pkEnum ||
           kKind == pkSet || kKind == pkColor;
  }
  V Get(const TPersistent* obj) const {
    return std::invoke(FGetter, const_cast<T&>(static_cast<const T&>(*obj)));
  }
  // Hands the value on as it came, so a setter taking a const reference gets no extra copy.
  template <class A>
  void Set(TPersistent* obj, A&& value) const {
    if constexpr (!std::is_same_v<S, std::nullptr_t>) std::invoke(FSetter, static_cast<T&>(*obj), std::forward<A>(value));
  }
  static int64_t ToOrd(const V& v) {
    if constexpr (kKind == pkSet) return static_cast<int64_t>(v.Bits());
    else if constexpr (kKind == pkColor) return ColorValue(v);
    else if constexpr (kKind == pkChar) return static_cast<unsigned char>(v);
    else if constexpr (kKind == pkEnum) return static_cast<int64_t>(v);
    else return static_cast<int64_t>(v);
  }
  static V FromOrd(int64_t value) {
    if constexpr (kKind == pkSet) return V::FromBits(static_cast<uint64_t>(value));
    else if constexpr (kKind == pkColor) return ColorOf(static_cast<uint32_t>(value));
    else if constexpr (kKind == pkBoolean) return value != 0;
    else return static_cast<V>(value);
  }
  void InitRange() {
    if constexpr (kKind == pkInteger) {
      using L = std::numeric_limits<V>;
      FMinValue = static_cast<int64_t>(L::min());
      FMaxValue = static_cast<uint64_t>(L::max()) > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(L::max());
    } else if constexpr (kKind == pkBoolean) {
      FMaxValue = 1;
    } else if constexpr (kKind == pkChar) {
      FMaxValue = 255;
    } else if constexpr (kKind == pkEnum) {
      FEnumType = &EnumInfo<V>();
      FMaxValue = static_cast<int64_t>(FEnumType->Members.size()) - 1;
    } else if constexpr (kKind == pkSet) {
      FEnumType = &EnumInfo<typename V::Element>();
      const size_t n = FEnumType->Members.size();
      FMaxValue = n >= 63 ? INT64_MAX : static_cast<int64_t>((uint64_t{1} << n) - 1);
      FMinValue = n >= 64 ? INT64_MIN : 0;
    } else if constexpr (kKind == pkColor) {
      FMinValue = INT32_MIN;
      FMaxValue = UINT32_MAX;
    } else if constexpr (kKind == pkEvent) {
      FEventSignature = V::SignatureTag();
    } else if constexpr (std::is_pointer_v<V>) {
      FObjectClass = &std::remove_cv_t<std::remove_pointer_t<V>>::StaticClass;
    }
  }

  G FGetter;
  S FSetter;
  std::optional<V> FDefault;
};

template <class M>
struct MemberOwner;
template <class C, class F>
struct MemberOwner<F C::*> {
  using type = C;
};

// Whether Cls declares Notification below TComponent. A derived probe may name the protected
// member; where it cannot (a final class, a private or overloaded declaration) the answer is
// yes, so such a class is always told.
template <class Cls>
constexpr bool OverridesNotification() {
  if constexpr (std::is_final_v<Cls>) {
    return true;
  } else {
    struct Probe : Cls {
      static constexpr bool Value() {
        if constexpr (requires { &Probe::Notification; })
          return !std::is_same_v<typename MemberOwner<decltype(&Probe::Notification)>::type, TComponent>;
        else
          return true;
      }
    };
    return Probe::Value();
  }
}

}  // namespace detail

// Collects the published properties of T in declaration order: used in T::Publish.
template <class T>
class TPublisher {
 public:
  explicit TPublisher(TClassInfo& info) : FInfo(info) {}

  template <class G, class S>
  detail::TPropImpl<T, G, S>& Property(const char* name, G getter, S setter) {
    auto prop = std::make_unique<detail::TPropImpl<T, G, S>>(name, getter, setter);
    auto& ref = *prop;
    FInfo.AddProperty(std::move(prop));
    return ref;
  }
  // A read-only property (shown by the inspector; object kinds still stream their contents).
  template <class G>
  detail::TPropImpl<T, G, std::nullptr_t>& Property(const char* name, G getter) {
    return Property(name, getter, nullptr);
  }

 private:
  TClassInfo& FInfo;
};

// Collects the methods a root class publishes for event handlers: used in T::PublishMethods.
template <class T>
class TMethodPublisher {
 public:
  explicit TMethodPublisher(TClassInfo& info) : FInfo(info) {}

  template <auto M>
  TMethodPublisher& Method(const char* name) {
    using Class = typename detail::MemberClassOf<decltype(M)>::Class;
    static_assert(std::is_base_of_v<Class, T>, "published method must belong to the class");
    TPublishedMethod method;
    method.Name = name;
    method.Code = detail::PublishedThunk<M>::Code();
    method.Signature = detail::PublishedThunk<M>::Signature();
    method.ReceiverOf = [](TObject* obj) -> void* { return static_cast<void*>(dynamic_cast<Class*>(obj)); };
    FInfo.AddMethod(std::move(method));
    return *this;
  }

 private:
  TClassInfo& FInfo;
};

template <class Cls>
TClassInfo::TClassInfo(std::type_identity<Cls>, const char* name, const TClassInfo* parent)
    : TClassInfo(name, parent) {
  if constexpr (std::is_base_of_v<TComponent, Cls>) {
    FIsComponent = true;
    FOverridesNotification = detail::OverridesNotification<Cls>();
    if constexpr (!std::is_abstract_v<Cls> && std::is_constructible_v<Cls, TComponent*>)
      FComponentFactory = [](TComponent* owner) -> TComponent* { return new Cls(owner); };
  } else if constexpr (std::is_base_of_v<TCollectionItem, Cls>) {
    if constexpr (!std::is_abstract_v<Cls> && std::is_constructible_v<Cls, TCollection*>)
      FItemFactory = [](TCollection* collection) -> TCollectionItem* { return new Cls(collection); };
  } else if constexpr (std::is_base_of_v<TPersistent, Cls>) {
    if constexpr (!std::is_abstract_v<Cls> && std::is_default_constructible_v<Cls>)
      FPersistentFactory = []() -> TPersistent* { return new Cls(); };
  }
  if constexpr (detail::DeclaresPublish<Cls>) {
    TPublisher<Cls> publisher(*this);
    Cls::Publish(publisher);
  }
  if constexpr (detail::DeclaresPublishMethods<Cls>) {
    TMethodPublisher<Cls> publisher(*this);
    Cls::PublishMethods(publisher);
  }
}

}  // namespace kyt

#endif
