#include "MemoryForm.h"

#include "RuntimeError.h"

namespace runtime {

MemoryForm::MemoryForm(const FormDesign& design, std::ostream& log)
    : m_textBoxes(design.controls.size())
    , m_richTextBoxes(design.controls.size())
    , m_errors(log) {
    for (ControlId id = 0; id < design.controls.size(); ++id) {
        const ControlDesign& control = design.controls[id];
        if (control.kind == ControlKind::TextBox) {
            m_textBoxes[id] = std::make_unique<MemoryTextBox>(QString::fromUtf8(control.text));
        } else if (control.kind == ControlKind::RichTextBox) {
            m_richTextBoxes[id] = std::make_unique<MemoryRichTextBox>([this, id] { setFocus(id); });
            m_richTextBoxes[id]->type(QString::fromUtf8(control.text));
        }
    }
}

ControlRef<TextBox> MemoryForm::textBox(ControlId id) {
    if (MemoryTextBox* box = memoryTextBox(id)) {
        return ControlRef<TextBox>(*box);
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

ControlRef<Dispatch> MemoryForm::lateBound(ControlId id) {
    if (MemoryRichTextBox* box = memoryRichTextBox(id)) {
        return ControlRef<Dispatch>(*box);
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

MemoryTextBox* MemoryForm::memoryTextBox(ControlId id) const noexcept {
    return id < m_textBoxes.size() ? m_textBoxes[id].get() : nullptr;
}

MemoryRichTextBox* MemoryForm::memoryRichTextBox(ControlId id) const noexcept {
    return id < m_richTextBoxes.size() ? m_richTextBoxes[id].get() : nullptr;
}

int MemoryForm::references() const noexcept {
    int total = 0;
    for (const auto& box : m_textBoxes) {
        total += box ? box->references() : 0;
    }
    for (const auto& box : m_richTextBoxes) {
        total += box ? box->references() : 0;
    }
    return total;
}

} // namespace runtime
