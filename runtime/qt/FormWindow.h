#pragma once
// FormWindow is a window on Qt Widgets built from design data: labels, text boxes, rich-text
// boxes, buttons and timers at their design positions with their fonts and colours, the focus
// order of their tab indices, and a one-line notice for the current untrapped error. Clicks and
// timer ticks go through EventDelivery to the procedures bound to them; the procedures reach the
// controls through the FormControls interface. Screen readers hear the text boxes' contents
// once they settle after a change, and each new error, without the focus moving.
//
// The window stays readable on any desktop. System colours follow the desktop's colour scheme,
// live; a design colour of text that would not stand out from what lies behind it on the current
// scheme (blue captions on a dark window) is moved toward the scheme's text colour just far
// enough to do so. A missing design face is replaced by fontconfig's choice, but never by a
// monospace face, and a caption too wide for its box in the face that stands in is set smaller.

#include "EventDelivery.h"
#include "FormControls.h"
#include "FormDesign.h"
#include "UntrappedErrors.h"

#include <QWidget>
#include <iosfwd>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLabel;

namespace runtime {

class Announcer;
class IntervalTimer;
class RichTextBoxWidget;
class TextBoxWidget;

class FormWindow final : public QWidget, public FormControls {
    Q_OBJECT

public:
    /// Creates the window and its controls from `design`; nothing is shown and no event is
    /// raised yet. Untrapped errors are written to `log`.
    /// Example: `FormWindow window(form1Design(), std::cerr);`
    FormWindow(const FormDesign& design, std::ostream& log, QWidget* parent = nullptr);
    ~FormWindow() override;

    ControlRef<TextBox> textBox(ControlId id) override;
    ControlRef<Dispatch> lateBound(ControlId id) override;

    EventDelivery& delivery() noexcept { return m_delivery; }
    UntrappedErrors& errors() noexcept { return m_errors; }

    /// Raises the window's Load event, starts the timers once its procedure has returned, and
    /// shows the window with the focus in the control of the lowest tab index.
    void loadAndShow();

    /// The widget of control `id`; nullptr for a timer.
    /// Example: `qobject_cast<QPushButton*>(window.widget(Command1))->text() == "CLEAR"`.
    QWidget* widget(ControlId id) const;
    /// The line that shows the current untrapped error; hidden while there is none.
    /// Example: after a refresh of "1e400", `window.errorNotice()->text() == "Overflow"`.
    QLabel* errorNotice() const noexcept { return m_errorNotice; }
    /// What tells screen readers the outputs (every text box) once they settle, and the errors.
    /// Example: `window.announcer().setPause(300)`.
    Announcer& announcer() const noexcept { return *m_announcer; }

    /// Converts design units to pixels: 15 twips a pixel at 96 dpi; Qt scales for denser screens.
    /// Example: `FormWindow::pixels(4680) == 312`.
    static int pixels(int twips);

protected:
    void changeEvent(QEvent* event) override;

private:
    /// The colours that the design gives a control's text and background, and the roles of its
    /// palette that show them. A background that the control does not fill is the window's.
    struct DesignColours {
        QWidget* widget = nullptr;
        QPalette::ColorRole textRole = QPalette::WindowText;
        QPalette::ColorRole backgroundRole = QPalette::Window;
        std::optional<ColorValue> text;
        std::optional<ColorValue> background;
    };

    QWidget* createControl(const ControlDesign& control, ControlId id);
    void applyDesignColours();
    void setUpTabOrder(const FormDesign& design);
    void nameBoxesAfterTheirCaptions(const FormDesign& design);
    void createErrorNotice(const FormDesign& design);
    void showError(const RuntimeError* error);

    UntrappedErrors m_errors;
    EventDelivery m_delivery{m_errors};
    std::vector<QWidget*> m_widgets;
    std::vector<TextBoxWidget*> m_textBoxes;
    std::vector<RichTextBoxWidget*> m_richTextBoxes;
    std::vector<DesignColours> m_designColours;
    std::vector<std::pair<ControlId, int>> m_timerIntervals;
    std::vector<std::unique_ptr<IntervalTimer>> m_runningTimers;
    QWidget* m_firstFocus = nullptr;
    QLabel* m_errorNotice = nullptr;
    Announcer* m_announcer = nullptr;
};

} // namespace runtime
