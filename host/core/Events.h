// Events: closures of receiver and code, the component model's method pointers.
#ifndef KYT_HOST_CORE_EVENTS_H
#define KYT_HOST_CORE_EVENTS_H

#include <functional>
#include <type_traits>
#include <utility>

namespace kyt {

class TObject;

// Untyped form of an event, used by streaming: receiver, code and the signature it was made for.
struct TMethod {
  void* Data = nullptr;
  void (*Code)() = nullptr;
  const void* Signature = nullptr;
  bool operator==(const TMethod&) const = default;
  explicit operator bool() const { return Code != nullptr; }
};

namespace detail {

// One distinct address per parameter list, so events of different types never mix.
template <class... Args>
struct SignatureTagHolder {
  static constexpr char Tag = 0;
};

template <class... P>
struct TypeList {};

template <class M>
struct MemberClassOf;
template <class R, class C, class... P>
struct MemberClassOf<R (C::*)(P...)> { using Class = C; using Params = TypeList<P...>; };
template <class R, class C, class... P>
struct MemberClassOf<R (C::*)(P...) const> { using Class = C; using Params = TypeList<P...>; };
template <class R, class C, class... P>
struct MemberClassOf<R (C::*)(P...) noexcept> { using Class = C; using Params = TypeList<P...>; };
template <class R, class C, class... P>
struct MemberClassOf<R (C::*)(P...) const noexcept> { using Class = C; using Params = TypeList<P...>; };

// The code part of an event bound to a member function: one function per (method, arguments).
template <auto Method, class... Args>
struct MethodThunk {
  using Class = typename MemberClassOf<decltype(Method)>::Class;
  static void Call(void* receiver, Args... args) {
    std::invoke(Method, static_cast<Class*>(receiver), std::forward<Args>(args)...);
  }
};

// Code and signature of a member function published by a root class for form files.
template <auto Method, class Params = typename MemberClassOf<decltype(Method)>::Params>
struct PublishedThunk;
template <auto Method, class... P>
struct PublishedThunk<Method, TypeList<P...>> {
  static void (*Code())() { return reinterpret_cast<void (*)()>(&MethodThunk<Method, P...>::Call); }
  static const void* Signature() { return &SignatureTagHolder<P...>::Tag; }
};

}  // namespace detail

template <class... Args>
class TEvent {
 public:
  using Thunk = void (*)(void*, Args...);

  TEvent() = default;

  // Binds &C::Handler to a receiver: TNotifyEvent::Bind<&TMyForm::FormShow>(form).
  template <auto Method, class C>
  static TEvent Bind(C* receiver) {
    using Class = typename detail::MemberClassOf<decltype(Method)>::Class;
    static_assert(std::is_base_of_v<Class, C>, "receiver must be of the handler's class");
    return TEvent(static_cast<void*>(static_cast<Class*>(receiver)), &detail::MethodThunk<Method, Args...>::Call);
  }
  // Binds a plain function that receives the data pointer first (for tests and adapters).
  static TEvent FromFunction(Thunk code, void* data) { return TEvent(data, code); }

  explicit operator bool() const { return FCode != nullptr; }
  // Calls the handler; calling an unassigned event does nothing.
  void operator()(Args... args) const {
    if (FCode) FCode(FData, std::forward<Args>(args)...);
  }
  bool operator==(const TEvent& other) const { return FData == other.FData && FCode == other.FCode; }

  void* Receiver() const { return FData; }
  TMethod Method() const {
    if (!FCode) return TMethod{};
    return TMethod{FData, reinterpret_cast<void (*)()>(FCode), SignatureTag()};
  }
  // Rebuilds an event from its untyped form; a method of another signature gives an empty event.
  static TEvent FromMethod(const TMethod& m) {
    if (!m.Code || m.Signature != SignatureTag()) return TEvent();
    return TEvent(m.Data, reinterpret_cast<Thunk>(m.Code));
  }
  static const void* SignatureTag() { return &detail::SignatureTagHolder<Args...>::Tag; }

 private:
  TEvent(void* data, Thunk code) : FData(data), FCode(code) {}
  void* FData = nullptr;
  Thunk FCode = nullptr;
};

using TNotifyEvent = TEvent<TObject*>;

}  // namespace kyt

#endif
