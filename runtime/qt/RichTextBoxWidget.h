#pragma once
// RichTextBoxWidget is the window's input box on Qt Widgets: a plain-text edit that procedures
// reach through the late-bound interface of RichTextDispatch (Text, setting 28, the focus
// method). Tab moves the focus instead of inserting a tab. The box holds at most kMaxLength
// characters, keeping the beginning of whatever is typed, pasted, dropped, stored or written by
// an assistive tool, and wraps its lines anywhere. Its cursor stops blinking a while after the
// last input. A stored Text is one edit that undo can take back; a stored setting 28 is not an
// edit.

#include "RichTextDispatch.h"

#include <QBasicTimer>
#include <QTextEdit>

namespace runtime {

class RichTextBoxWidget final : public QTextEdit, public RichTextDispatch {
    Q_OBJECT

public:
    /// The most UTF-16 code units the box holds, each line break counting as one. Room enough for
    /// the longest number whose correct rounding needs every digit (about 800 of them).
    static constexpr qsizetype kMaxLength = 32'767;

    explicit RichTextBoxWidget(QWidget* parent = nullptr);
    ~RichTextBoxWidget() override;

    /// How long the cursor blinks after the last input; 10 seconds unless set.
    /// Example: `box.setCursorBlinkTimeout(1200)`: 1.2 s after the last key the cursor stays solid.
    void setCursorBlinkTimeout(int milliseconds);

    /// The box's text, paragraphs separated by "\n". Example: "1", Enter, "00" gives "1\n00".
    QString currentText() const override;
    int currentAlignment() const override { return m_alignment; }

protected:
    /// Replaces the whole text as one edit that undo can take back, cut to kMaxLength.
    Status replaceText(const QString& text) override;
    /// Aligns every paragraph: 0 left, 1 right, 2 centred.
    Status applyAlignment(int alignment) override;
    Status takeFocus() override;

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    /// Pastes and drops arrive here: as plain text, as much of its beginning as fits.
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Screen readers and test tools write through it, and so reach the box's cut.
    friend class RichTextBoxAccessible;

    /// How many characters an insertion at `cursor`, replacing its selection, may add.
    qsizetype room(const QTextCursor& cursor) const;
    /// Puts the beginning of `text` that fits in place of the selection of `cursor`, as one edit.
    void insertFitting(QTextCursor& cursor, const QString& text);
    /// Replaces the whole text as one edit, cut to kMaxLength; nothing if it is the same text.
    void replaceWholeText(const QString& text);

    void keepLayouts(int position, int charsRemoved, int charsAdded);
    void wakeCursor();

    mutable QString m_text;
    mutable bool m_textValid = false;
    int m_alignment = 0;
    int m_cursorBlinkTimeoutMs = 10'000;
    int m_desktopFlashTimeMs = 0;
    QBasicTimer m_cursorBlinkTimeout;
};

} // namespace runtime
