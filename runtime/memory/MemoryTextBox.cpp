#include "MemoryTextBox.h"

namespace runtime {

Status MemoryTextBox::storeText(const QString& text) {
    if (m_failure != Status::Ok) {
        return m_failure;
    }
    m_text = text;
    ++m_stores;
    return Status::Ok;
}

} // namespace runtime
