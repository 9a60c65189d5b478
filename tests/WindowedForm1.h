#pragma once
// The converter's window on Qt Widgets with Form1's procedures bound, not yet loaded or shown.
// Shared by the widget tests and the benchmarks; needs a QApplication.

#include "Form1.h"
#include "Form1Design.h"
#include "FormWindow.h"

#include <QLineEdit>
#include <QTextEdit>
#include <sstream>

/// Widget tests and benchmarks run on Qt's offscreen platform unless QT_QPA_PLATFORM names
/// another. Call before creating the QApplication.
inline void useOffscreenPlatformUnlessSet() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

class WindowedForm1 {
public:
    WindowedForm1() { runtime::bindEvents(window.delivery(), form, form::form1Bindings()); }

    void tick() { window.delivery().raise(form::Timer1, runtime::Event::Timer); }

    QTextEdit* input() const { return qobject_cast<QTextEdit*>(window.widget(form::RichTextBox1)); }
    QLineEdit* box(form::Form1Control id) const {
        return qobject_cast<QLineEdit*>(window.widget(id));
    }

    std::ostringstream log;
    runtime::FormWindow window{form::form1Design(), log};
    form::Form1 form{window};
};
