// DesignForm: the designed root, its designer methods and the outline of a form file.
#include "host/design/DesignForm.h"

#include <sstream>
#include <utility>

#include "host/core/Exceptions.h"

namespace kyt {

namespace {

// The code of every designer method: it does nothing. Events call their code with their own
// arguments after the receiver; on the Windows calling conventions used here (x64, and cdecl
// on i686) the caller owns the argument space, so a function taking only the receiver returns
// cleanly whatever the event passes.
void DesignerMethodCode(void*) {}

// One receiver function per slot: PublishedMethodName tells methods apart by receiver.
template <size_t I>
void* SlotReceiver(TObject* obj) {
  auto* form = dynamic_cast<TDesignForm*>(obj);
  return form ? form->MethodSlot(I) : nullptr;
}

template <size_t... I>
constexpr std::array<void* (*)(TObject*), sizeof...(I)> MakeReceivers(std::index_sequence<I...>) {
  return {&SlotReceiver<I>...};
}
constexpr auto kReceivers = MakeReceivers(std::make_index_sequence<kMaxDesignerMethods>{});

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool IsIdentPath(const std::string& s) {
  if (s.empty()) return false;
  for (const std::string& part : [&] {
         std::vector<std::string> parts;
         std::stringstream in(s);
         std::string p;
         while (std::getline(in, p, '.')) parts.push_back(p);
         if (s.back() == '.') parts.push_back("");
         return parts;
       }())
    if (!core::IsValidIdent(part)) return false;
  return true;
}

// The property a dotted path names on an object of class cls, through owned sub-objects.
const TPropInfo* ResolvePath(const TClassInfo* cls, const std::string& path) {
  std::stringstream in(path);
  std::string part;
  const TPropInfo* prop = nullptr;
  while (std::getline(in, part, '.')) {
    if (!cls) return nullptr;
    prop = cls->FindProperty(part);
    if (!prop) return nullptr;
    cls = prop->Kind() == pkClass ? prop->ObjectClass() : nullptr;
  }
  return prop;
}

}  // namespace

// ---- TDesignForm

TDesignForm::TDesignForm(const std::string& className, const TClassInfo& parent)
    : TForm(nullptr), FClass(std::make_unique<TClassInfo>(className, &parent)) {
  TPublisher<TDesignForm> publisher(*FClass);
  // Replaces the form's Visible in place, so the file keeps its order.
  publisher.Property("Visible", &TDesignForm::StoredVisible, &TDesignForm::SetStoredVisible).Default(false);
  SetDesigning(true);
}

TDesignForm::~TDesignForm() {
  // Components go while the class identity still exists.
  DestroyComponents();
}

void TDesignForm::ValidateRename(TComponent* component, const std::string& curName,
                                 const std::string& newName) {
  TForm::ValidateRename(component, curName, newName);
  if (newName.empty() && !curName.empty())
    throw EComponentError("the component " + curName + " needs a name");
  const bool clash = component ? core::SameText(newName, Name()) : FindComponent(newName) != nullptr;
  if (!newName.empty() && clash)
    throw EComponentError("A component named " + newName + " already exists");
}

TMethod TDesignForm::DesignerMethod(const std::string& name, const void* signature) {
  if (!core::IsValidIdent(name)) throw EPropertyError("Invalid property value: '" + name + "' is not a valid method name");
  if (const TPublishedMethod* existing = FClass->FindMethod(name)) {
    if (existing->Signature != signature)
      throw EPropertyError("Invalid property value: method " + existing->Name + " is a handler of another event type");
  } else {
    if (FMethodCount >= kMaxDesignerMethods) throw EPropertyError("Too many event handlers on one form");
    TPublishedMethod method;
    method.Name = name;
    method.Code = reinterpret_cast<void (*)()>(&DesignerMethodCode);
    method.Signature = signature;
    method.ReceiverOf = kReceivers[FMethodCount++];
    FClass->AddMethod(std::move(method));
  }
  TMethod method;
  FindPublishedMethod(*this, name, method);
  return method;
}

// ---- TToolDesigner

TMethod TToolDesigner::CreateMethod(const std::string& name, const void* signature) {
  return FForm->DesignerMethod(name, signature);
}

// ---- Outline

TFormFileOutline OutlineFormText(const std::string& text) {
  TFormFileOutline outline;
  std::vector<const TClassInfo*> stack;   // class of each open object or item block (null: unknown)
  // A file with names outside ASCII starts with the UTF-8 byte-order mark: not part of its first line.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  std::stringstream in(text.substr(std::string_view(text).starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0));
  std::string raw;
  while (std::getline(in, raw)) {
    const std::string line = Trim(raw);
    const size_t space = line.find(' ');
    const std::string head = line.substr(0, space);
    if (core::SameText(head, "object") || core::SameText(head, "inherited") || core::SameText(head, "inline")) {
      const std::string rest = space == std::string::npos ? std::string() : Trim(line.substr(space + 1));
      const size_t colon = rest.find(':');
      const std::string name = colon == std::string::npos ? std::string() : Trim(rest.substr(0, colon));
      const std::string cls = Trim(colon == std::string::npos ? rest : rest.substr(colon + 1));
      if (outline.RootClass.empty()) {
        outline.RootName = name;
        outline.RootClass = cls;
        stack.push_back(&TForm::StaticClass());
      } else {
        stack.push_back(FindClass(cls));
      }
      continue;
    }
    if (core::SameText(line, "item")) {
      stack.push_back(nullptr);
      continue;
    }
    if (core::SameText(line, "end") || core::SameText(line, "end>") || core::SameText(line, "end >")) {
      if (!stack.empty()) stack.pop_back();
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || stack.empty()) continue;
    const std::string path = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (!IsIdentPath(path) || !core::IsValidIdent(value)) continue;
    const TPropInfo* prop = ResolvePath(stack.back(), path);
    if (prop && prop->Kind() == pkEvent && !core::SameText(value, "nil"))
      outline.Handlers.emplace_back(value, prop->EventSignature());
  }
  return outline;
}

}  // namespace kyt
