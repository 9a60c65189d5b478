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

    /// `onFocus` is called when the focus method runs.
    explicit MemoryRichTextBox(std::function<void()> onFocus)
        : m_onFocus(std::move(onFocus)) {}

    Status getProperty(DispId id, VARIANT& result) override;
    Status putProperty(DispId id, const VARIANT& value) override;
    Status callMethod(DispId id, VARIANT& result) override;

    /// Makes every following `access` of member `id` return `status`; Status::Ok heals it.
    /// Example: `box.fail(Access::Put, kDispIdText, Status::Failed)` makes stores of Text fail.
    void fail(Access access, DispId id, Status status);

    /// Stands for the person typing: replaces the text without a late-bound call.
    /// Example: `box.type("100")`, then a refresh reads 100.
    void type(const QString& text) { m_text = text; }

    const QString& text() const noexcept { return m_text; }
    int alignment() const noexcept { return m_alignment; }

protected:
    QString currentText() const override { return m_text; }
    Status replaceText(const QString& text) override;
    int currentAlignment() const override { return m_alignment; }
    Status applyAlignment(int alignment) override;
    Status takeFocus() override;

private:
    Status failure(Access access, DispId id) const;

    std::function<void()> m_onFocus;
    QString m_text;
    int m_alignment = 0;
    std::map<std::pair<Access, DispId>, Status> m_failures;
};

} // namespace runtime
