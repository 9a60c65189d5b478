#pragma once
// EventBinding names which procedure of a form serves which event of which control; a form
// carries a table of them in its design data and bindEvents connects the table to delivery.

#include "EventDelivery.h"
#include "FormDesign.h"

#include <span>

namespace runtime {

template <class Form>
struct EventBinding {
    ControlId source;
    Event event;
    void (Form::*procedure)();
};

/// Binds every procedure in `bindings` on the object `form`.
/// Example: `bindEvents(delivery, form1, form::form1Bindings())`, after which
/// `delivery.raise(kFormItself, Event::Load)` runs `form1.Form_Load()`.
template <class Form>
void bindEvents(EventDelivery& delivery, Form& form, std::span<const EventBinding<Form>> bindings) {
    for (const EventBinding<Form>& binding : bindings) {
        delivery.bind(binding.source, binding.event,
                      [&form, procedure = binding.procedure] { (form.*procedure)(); });
    }
}

} // namespace runtime
