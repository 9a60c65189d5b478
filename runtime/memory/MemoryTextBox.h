#pragma once
// MemoryTextBox is a text box without a screen, for tests and benchmarks: it holds its text,
// counts the stores, and can be told to reject them.

#include "TextBox.h"

#include <utility>

namespace runtime {

class MemoryTextBox final : public TextBox {
public:
    explicit MemoryTextBox(QString text)
        : m_text(std::move(text)) {}

    Status storeText(const QString& text) override;

    const QString& text() const noexcept { return m_text; }
    /// How many stores succeeded.
    int stores() const noexcept { return m_stores; }
    /// Makes every following store return `status` (Status::Ok accepts stores again).
    /// Example: after `box.failStoresWith(Status::Failed)`, `box.storeText("1") == Status::Failed`
    /// and the text is unchanged.
    void failStoresWith(Status status) noexcept { m_failure = status; }

private:
    QString m_text;
    int m_stores = 0;
    Status m_failure = Status::Ok;
};

} // namespace runtime
