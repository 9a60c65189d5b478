#pragma once
// The converter's window without a screen: Form1's procedures bound to an in-memory window built
// from Form1's design data. Shared by the tests and the benchmarks.

#include "Form1.h"
#include "Form1Design.h"
#include "memory/MemoryForm.h"

#include <sstream>

class ScreenlessForm1 {
public:
    ScreenlessForm1() { runtime::bindEvents(window.delivery(), form, form::form1Bindings()); }

    void load() { window.raise(runtime::kFormItself, runtime::Event::Load); }
    void tick() { window.raise(form::Timer1, runtime::Event::Timer); }
    void clickClear() { window.raise(form::Command1, runtime::Event::Click); }
    void type(const QString& text) { input().type(text); }

    runtime::MemoryRichTextBox& input() { return *window.memoryRichTextBox(form::RichTextBox1); }
    runtime::MemoryTextBox& fahrenheit() { return *window.memoryTextBox(form::Text2); }
    runtime::MemoryTextBox& celsius() { return *window.memoryTextBox(form::Text3); }

    std::ostringstream log;
    runtime::MemoryForm window{form::form1Design(), log};
    form::Form1 form{window};
};
