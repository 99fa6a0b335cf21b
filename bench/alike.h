#pragma once

#include <cstddef>

#include "runtime/application.h"

namespace bench {

// Whether two programs' windows are alike, as their window systems hold them: every form and
// control in the same place, with the same text, and the same scroll bars.
inline bool alike(const rt::Application& a, const rt::Application& b) {
  const auto& forms_a = a.loaded_forms();
  const auto& forms_b = b.loaded_forms();
  if (forms_a.size() != forms_b.size()) return false;
  const auto same = [](const rt::PeerState& x, const rt::PeerState& y) {
    return x.geometry == y.geometry && x.text == y.text;
  };
  for (std::size_t f = 0; f < forms_a.size(); ++f) {
    const rt::Form& form_a = *forms_a[f];
    const rt::Form& form_b = *forms_b[f];
    if (!same(form_a.peer_if_loaded()->inspect(), form_b.peer_if_loaded()->inspect())) {
      return false;
    }
    if (form_a.controls().size() != form_b.controls().size()) return false;
    for (std::size_t c = 0; c < form_a.controls().size(); ++c) {
      if (!same(form_a.controls()[c]->peer().inspect(), form_b.controls()[c]->peer().inspect())) {
        return false;
      }
    }
  }
  return a.window_system().client_scroll_bars() == b.window_system().client_scroll_bars();
}

}  // namespace bench
