#pragma once
// RichTextBoxAccessible is the input box as screen readers and other assistive tools see it: an
// editable multi-line text named after its caption, with its text, caret, selection and character
// positions, read as Qt reads any text edit. What such a tool writes (AT-SPI's setTextContents and
// insertText, or a new value) goes through the box's own cut, so it keeps the beginning that fits
// in kMaxLength characters, as one edit that undo takes back. Qt's own description of a text edit
// would write straight into the document, however long the text.
//
// Qt creates one for each box on first use and deletes it with the box; installFactory() tells Qt
// to use this class for every RichTextBoxWidget.

#include <QAccessibleWidget>

class QTextCursor;
class QTextDocument;

namespace runtime {

class RichTextBoxWidget;

class RichTextBoxAccessible final : public QAccessibleWidget,
                                    public QAccessibleTextInterface,
                                    public QAccessibleEditableTextInterface {
public:
    explicit RichTextBoxAccessible(RichTextBoxWidget* box);

    /// Makes Qt describe every RichTextBoxWidget with this class; calls after the first do nothing.
    /// Example: after `RichTextBoxAccessible::installFactory()`, a new box's
    /// `QAccessible::queryAccessibleInterface(box)` is one of these.
    static void installFactory();

    /// The text, editable-text and widget interfaces. Example: `interface_cast(TextInterface)` is
    /// this object as a QAccessibleTextInterface.
    void* interface_cast(QAccessible::InterfaceType type) override;
    /// Focusable, editable, multi-line, with selectable text. Example: `state().editable` is true.
    QAccessible::State state() const override;
    /// The value is the plain text; the name the caption. Example: "12" typed, the value is "12".
    QString text(QAccessible::Text type) const override;
    /// A new value replaces the whole text, cut to fit, as one edit. Example: a value of a
    /// megabyte of digits keeps its first 32,767.
    void setText(QAccessible::Text type, const QString& text) override;

    // Reading. Offsets count UTF-16 code units; each line break counts as one.

    /// The selection; there is at most one, index 0. Example: "1234" with "23" selected gives 1, 3.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    /// Example: 1 while something is selected, else 0.
    int selectionCount() const override;
    /// Example: `addSelection(0, 2)` selects the first two characters.
    void addSelection(int startOffset, int endOffset) override;
    /// Example: `removeSelection(0)` leaves the caret where it was, nothing selected.
    void removeSelection(int selectionIndex) override;
    /// Example: `setSelection(0, 1, 3)` selects "23" of "1234".
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    /// Example: 2 with "12" typed.
    int cursorPosition() const override;
    /// Example: `setCursorPosition(0)` moves the caret before the first character.
    void setCursorPosition(int position) override;
    /// Example: `text(0, 3)` of "1", Enter, "00" is "1\n0".
    QString text(int startOffset, int endOffset) const override;
    /// The word, line, sentence... before, after and at an offset, lines as they wrap on screen.
    /// Example: for "12 34", `textAtOffset(4, WordBoundary, ...)` is "34", from 3 to 5.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    /// Example: 4 for "1", Enter, "00".
    int characterCount() const override;
    /// Where a character is drawn, in screen coordinates. Example: the rectangle of offset 0 lies
    /// at the left of the box's first line.
    QRect characterRect(int offset) const override;
    /// The character at a point on the screen, -1 if none. Example: a point within the first
    /// character's rectangle gives 0.
    int offsetAtPoint(const QPoint& point) const override;
    /// Scrolls the box so that the range shows, its start first. Example: `scrollToSubstring(0, 1)`
    /// shows the first line.
    void scrollToSubstring(int startIndex, int endIndex) override;
    /// The font and alignment of the paragraph around `offset`, which is its run. Example:
    /// "font-family:\"Arial\";font-size:24pt;font-weight:normal;...;text-align:left;"
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Writing, each as one edit that undo takes back; what would pass kMaxLength is left out.

    /// Example: `deleteText(0, 1)` of "123" leaves "23".
    void deleteText(int startOffset, int endOffset) override;
    /// Example: `insertText(1, "5")` into "123" gives "1523".
    void insertText(int offset, const QString& text) override;
    /// Example: `replaceText(0, characterCount(), text)`, as setTextContents does, leaves the
    /// beginning of `text` that fits.
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    RichTextBoxWidget* box() const;
    QTextDocument* document() const;
    /// The box's cursor with `startOffset` to `endOffset` selected.
    QTextCursor range(int startOffset, int endOffset) const;
};

} // namespace runtime
