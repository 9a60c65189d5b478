#pragma once
// MemoryForm is a window without a screen, built from the same design data as the real one: its
// text boxes and rich-text boxes hold text in memory, the focus is a control id, and events are
// raised by calling raise(). Tests and benchmarks run a form's procedures on it unchanged.

#include "EventDelivery.h"
#include "FormControls.h"
#include "FormDesign.h"
#include "UntrappedErrors.h"
#include "memory/MemoryRichTextBox.h"
#include "memory/MemoryTextBox.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <vector>

namespace runtime {

class MemoryForm final : public FormControls {
public:
    /// Creates the controls of `design`; untrapped errors are written to `log`.
    /// Example: `MemoryForm window(form1Design(), std::cerr);`
    MemoryForm(const FormDesign& design, std::ostream& log);

    ControlRef<TextBox> textBox(ControlId id) override;
    ControlRef<Dispatch> lateBound(ControlId id) override;

    /// Delivers `event` of `source` (kFormItself for the window's own events).
    /// Example: `window.raise(kFormItself, Event::Load)` runs the procedure bound to Load.
    void raise(ControlId source, Event event) { m_delivery.raise(source, event); }

    EventDelivery& delivery() noexcept { return m_delivery; }
    UntrappedErrors& errors() noexcept { return m_errors; }

    /// The text box or rich-text box `id`; nullptr for a control of another kind.
    /// Example: `window.memoryTextBox(Text2)->text()`; `window.memoryTextBox(Label1) == nullptr`.
    MemoryTextBox* memoryTextBox(ControlId id) const noexcept;
    MemoryRichTextBox* memoryRichTextBox(ControlId id) const noexcept;

    /// The control that has the keyboard focus, if any; the rich-text box's focus method sets it.
    /// Example: after `window.setFocus(Command1)`, `window.focus() == Command1`.
    std::optional<ControlId> focus() const noexcept { return m_focus; }
    void setFocus(ControlId id) noexcept { m_focus = id; }

    /// References held on all controls together; 0 whenever no procedure runs.
    /// Example: `window.references() == 0` after any procedure, whether it failed or not.
    int references() const noexcept;

private:
    std::vector<std::unique_ptr<MemoryTextBox>> m_textBoxes;
    std::vector<std::unique_ptr<MemoryRichTextBox>> m_richTextBoxes;
    std::optional<ControlId> m_focus;
    UntrappedErrors m_errors;
    EventDelivery m_delivery{m_errors};
};

} // namespace runtime
