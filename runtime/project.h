#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "runtime/design.h"

namespace rt {

class Application;
class Form;

enum class Event { Initialize, Resize, Click };
inline constexpr std::size_t kEventCount = 3;

std::string_view event_name(Event event);

using Handler = void (*)(Form&);

// One row of the table of handled events. `source` is empty for the form's own events, else
// the name of the control or menu item.
struct EventBinding {
  std::string form;
  std::string source;
  Event event;
  Handler handler;
};

struct FormClass {
  FormDesign design;
  std::unique_ptr<Form> (*create)(Application&, const FormClass&);
  const std::type_info* type;
};

// Everything the runtime needs to run a program: its forms with their design-time values,
// the handled events, and the form it starts with.
struct Project {
  std::vector<FormClass> forms;
  std::vector<EventBinding> events;
  std::string startup;
};

template <class T>
FormClass form_class(FormDesign design) {
  return FormClass{std::move(design),
                   [](Application& app, const FormClass& cls) -> std::unique_ptr<Form> {
                     return std::make_unique<T>(app, cls);
                   },
                   &typeid(T)};
}

namespace detail {
template <class M>
struct method_class;
template <class C>
struct method_class<void (C::*)()> {
  using type = C;
};
}  // namespace detail

// A handler in the table: a member procedure of a form class without arguments.
template <auto Method>
void handler(Form& form) {
  using C = typename detail::method_class<decltype(Method)>::type;
  (static_cast<C&>(form).*Method)();
}

}  // namespace rt
