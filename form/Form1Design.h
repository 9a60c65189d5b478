#pragma once
// The design data of the converter's window Form1: its settings, its eight controls and which
// procedure serves which event. A window implementation builds the window from it.

#include "EventBinding.h"
#include "FormDesign.h"

#include <span>

namespace form {

class Form1;

/// The controls of Form1, in the order of form1Design().controls.
enum Form1Control : runtime::ControlId {
    Label1,
    RichTextBox1,
    Label2,
    Text2,
    Label3,
    Text3,
    Command1,
    Timer1,
};

/// Example: `form1Design().caption == "My Mirovane"`,
/// `form1Design().controls[Command1].text == "CLEAR"`.
const runtime::FormDesign& form1Design();

/// Load of the window runs Form_Load, a click on Command1 Command1_Click, a tick of Timer1
/// Timer1_Timer; nothing else is bound.
std::span<const runtime::EventBinding<Form1>> form1Bindings();

} // namespace form
