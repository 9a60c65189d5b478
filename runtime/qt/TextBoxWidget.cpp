#include "TextBoxWidget.h"

namespace runtime {

TextBoxWidget::TextBoxWidget(QWidget* parent)
    : QLineEdit(parent) {
    setReadOnly(true);
}

Status TextBoxWidget::storeText(const QString& text) {
    if (text != QLineEdit::text()) {
        QLineEdit::setText(text);
        // Long numbers show their most significant digits first.
        setCursorPosition(0);
    }
    return Status::Ok;
}

} // namespace runtime
