#pragma once
// TextBoxWidget is a text box of the window on Qt Widgets: a read-only line edit whose text a
// procedure stores and a person can select and copy. Storing the text it already holds does
// nothing at all, so a refresh that changes nothing costs no repaint.

#include "TextBox.h"

#include <QLineEdit>

namespace runtime {

class TextBoxWidget final : public QLineEdit, public TextBox {
    Q_OBJECT

public:
    explicit TextBoxWidget(QWidget* parent = nullptr);

    /// Example: `box.storeText("212.00")` shows 212.00; storing "212.00" again changes nothing.
    Status storeText(const QString& text) override;
};

} // namespace runtime
