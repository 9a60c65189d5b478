#pragma once
// Form1 holds the three event procedures of the converter's window. Each is a straight sequence
// of steps on the window's controls, reached through runtime::FormControls; none traps an error.
// Form1 keeps nothing between events but the reference to its window.

#include "FormControls.h"

namespace form {

class Form1 {
public:
    explicit Form1(runtime::FormControls& controls) noexcept
        : m_controls(controls) {}

    /// Load of the window: empties both output boxes and the input box.
    void Form_Load();
    /// The CLEAR button: empties the input box and gives it the keyboard focus.
    void Command1_Click();
    /// Every tick of Timer1: converts the number at the start of the input both ways and writes
    /// the Fahrenheit value to Text2 and the Celsius value to Text3.
    void Timer1_Timer();

private:
    runtime::FormControls& m_controls;
};

} // namespace form
