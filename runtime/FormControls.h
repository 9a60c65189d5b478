#pragma once
// FormControls is everything a form's procedures see of their window: a reference to one of its
// controls, taken per statement. A window built on Qt Widgets and the in-memory window of the
// tests both implement it, so the procedures run unchanged on either.

#include "ControlRef.h"
#include "Dispatch.h"
#include "FormDesign.h"
#include "TextBox.h"

namespace runtime {

class FormControls {
public:
    /// The text box `id` through its own interface. A control of another kind throws
    /// RuntimeError(ErrorCode::TypeMismatch).
    virtual ControlRef<TextBox> textBox(ControlId id) = 0;
    /// The control `id` through its late-bound interface. A control without one throws
    /// RuntimeError(ErrorCode::TypeMismatch).
    virtual ControlRef<Dispatch> lateBound(ControlId id) = 0;

protected:
    ~FormControls() = default;
};

} // namespace runtime
