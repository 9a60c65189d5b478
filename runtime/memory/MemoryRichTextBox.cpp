#include "MemoryRichTextBox.h"

namespace runtime {

Status MemoryRichTextBox::getProperty(DispId id, VARIANT& result) {
    const Status status = failure(Access::Get, id);
    return status != Status::Ok ? status : RichTextDispatch::getProperty(id, result);
}

Status MemoryRichTextBox::putProperty(DispId id, const VARIANT& value) {
    const Status status = failure(Access::Put, id);
    return status != Status::Ok ? status : RichTextDispatch::putProperty(id, value);
}

Status MemoryRichTextBox::callMethod(DispId id, VARIANT& result) {
    const Status status = failure(Access::Call, id);
    return status != Status::Ok ? status : RichTextDispatch::callMethod(id, result);
}

void MemoryRichTextBox::fail(Access access, DispId id, Status status) {
    if (status == Status::Ok) {
        m_failures.erase({access, id});
    } else {
        m_failures[{access, id}] = status;
    }
}

Status MemoryRichTextBox::failure(Access access, DispId id) const {
    const auto found = m_failures.find({access, id});
    return found == m_failures.end() ? Status::Ok : found->second;
}

Status MemoryRichTextBox::replaceText(const QString& text) {
    m_text = text;
    return Status::Ok;
}

Status MemoryRichTextBox::applyAlignment(int alignment) {
    m_alignment = alignment;
    return Status::Ok;
}

Status MemoryRichTextBox::takeFocus() {
    m_onFocus();
    return Status::Ok;
}

} // namespace runtime
