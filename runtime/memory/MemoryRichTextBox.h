#pragma once
// MemoryRichTextBox is the rich-text input box without a screen, for tests and benchmarks: its
// text, its setting 28 and a focus callback, with a way to make a chosen member fail.

#include "RichTextDispatch.h"

#include <functional>
#include <map>
#include <utility>

namespace runtime {

class MemoryRichTextBox final : public RichTextDispatch {
public:
    enum class Access { Get, Put, Call };

    /// `takeFocus` is called when the focus method runs.
    explicit MemoryRichTextBox(std::function<void()> takeFocus)
        : m_takeFocus(std::move(takeFocus)) {}

    Status getProperty(DispId id, VARIANT& result) override;
    Status putProperty(DispId id, const VARIANT& value) override;
    Status callMethod(DispId id, VARIANT& result) override;

    /// Makes every following `access` of member `id` return `status`; Status::Ok heals it.
    void fail(Access access, DispId id, Status status);

    /// Stands for the person typing: replaces the text without a late-bound call.
    void type(const QString& text) { m_text = text; }

    QString text() const override { return m_text; }
    int alignment() const override { return m_alignment; }

protected:
    Status setText(const QString& text) override;
    Status setAlignment(int alignment) override;
    Status setFocus() override;

private:
    Status failure(Access access, DispId id) const;

    std::function<void()> m_takeFocus;
    QString m_text;
    int m_alignment = 0;
    std::map<std::pair<Access, DispId>, Status> m_failures;
};

} // namespace runtime
