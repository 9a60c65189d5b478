#pragma once
// TextBox is the early-bound interface of a plain text box: a procedure stores its Text. The store
// returns a Status (see checkStatus) rather than throwing.

#include "Control.h"
#include "Status.h"

#include <QString>

namespace runtime {

class TextBox : public Control {
public:
    /// Replaces the box's whole text.
    virtual Status storeText(const QString& text) = 0;

protected:
    ~TextBox() = default;
};

} // namespace runtime
