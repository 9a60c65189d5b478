#include "RichTextBoxAccessible.h"

#include "RichTextBoxWidget.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

QAccessibleInterface* describe(const QString&, QObject* object) {
    auto* box = qobject_cast<RichTextBoxWidget*>(object);
    return box ? new RichTextBoxAccessible(box) : nullptr;
}

// How far the box is scrolled: where its viewport's top left corner lies in the document.
QPoint scrolled(const RichTextBoxWidget& box) {
    return {box.horizontalScrollBar()->value(), box.verticalScrollBar()->value()};
}

// The text of `cursor`'s boundary of the given kind around its position.
QString boundedText(const RichTextBoxAccessible& box, const QTextCursor& cursor,
                    QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) {
    const auto [start, end] = QAccessible::qAccessibleTextBoundaryHelper(cursor, boundaryType);
    *startOffset = start;
    *endOffset = end;
    return box.text(start, end);
}

} // namespace

RichTextBoxAccessible::RichTextBoxAccessible(RichTextBoxWidget* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

void RichTextBoxAccessible::installFactory() {
    // Each box calls this before anything asks Qt about it: Qt keeps the first description it
    // gives of an object until the object is gone.
    static const bool installed = [] {
        QAccessible::installFactory(describe);
        return true;
    }();
    Q_UNUSED(installed);
}

RichTextBoxWidget* RichTextBoxAccessible::box() const {
    return static_cast<RichTextBoxWidget*>(widget());
}

QTextDocument* RichTextBoxAccessible::document() const {
    return box()->document();
}

QTextCursor RichTextBoxAccessible::range(int startOffset, int endOffset) const {
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(startOffset);
    cursor.setPosition(endOffset, QTextCursor::KeepAnchor);
    return cursor;
}

void* RichTextBoxAccessible::interface_cast(QAccessible::InterfaceType type) {
    switch (type) {
    case QAccessible::TextInterface:
        return static_cast<QAccessibleTextInterface*>(this);
    case QAccessible::EditableTextInterface:
        return static_cast<QAccessibleEditableTextInterface*>(this);
    default:
        return QAccessibleWidget::interface_cast(type);
    }
}

QAccessible::State RichTextBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    if (box()->isReadOnly()) {
        state.readOnly = true;
    } else {
        state.editable = true;
    }
    return state;
}

QString RichTextBoxAccessible::text(QAccessible::Text type) const {
    return type == QAccessible::Value ? box()->toPlainText() : QAccessibleWidget::text(type);
}

void RichTextBoxAccessible::setText(QAccessible::Text type, const QString& text) {
    if (type != QAccessible::Value) {
        QAccessibleWidget::setText(type, text);
    } else if (!box()->isReadOnly()) {
        box()->replaceWholeText(text);
    }
}

void RichTextBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const QTextCursor cursor = box()->textCursor();
    const bool selected = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = selected ? cursor.selectionStart() : 0;
    *endOffset = selected ? cursor.selectionEnd() : 0;
}

int RichTextBoxAccessible::selectionCount() const {
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void RichTextBoxAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void RichTextBoxAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        QTextCursor cursor = box()->textCursor();
        cursor.clearSelection();
        box()->setTextCursor(cursor);
    }
}

void RichTextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) {
        box()->setTextCursor(range(startOffset, endOffset));
    }
}

int RichTextBoxAccessible::cursorPosition() const {
    return box()->textCursor().position();
}

void RichTextBoxAccessible::setCursorPosition(int position) {
    box()->setTextCursor(range(position, position));
}

QString RichTextBoxAccessible::text(int startOffset, int endOffset) const {
    return range(startOffset, endOffset).selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

QString RichTextBoxAccessible::textBeforeOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const {
    QTextCursor cursor = range(offset, offset);
    cursor.setPosition(QAccessible::qAccessibleTextBoundaryHelper(cursor, boundaryType).first - 1);
    return boundedText(*this, cursor, boundaryType, startOffset, endOffset);
}

QString RichTextBoxAccessible::textAfterOffset(int offset,
                                               QAccessible::TextBoundaryType boundaryType,
                                               int* startOffset, int* endOffset) const {
    QTextCursor cursor = range(offset, offset);
    cursor.setPosition(QAccessible::qAccessibleTextBoundaryHelper(cursor, boundaryType).second);
    return boundedText(*this, cursor, boundaryType, startOffset, endOffset);
}

QString RichTextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    return boundedText(*this, range(offset, offset), boundaryType, startOffset, endOffset);
}

int RichTextBoxAccessible::characterCount() const {
    return document()->characterCount() - 1;
}

QRect RichTextBoxAccessible::characterRect(int offset) const {
    const QTextBlock block = document()->findBlock(offset);
    if (!block.isValid() || offset >= characterCount()) {
        return {};
    }
    // The character's edges on its line as laid out, so the rectangle follows the box's own font.
    const QTextLayout* layout = block.layout();
    const int inBlock = offset - block.position();
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (!line.isValid()) {
        return {};
    }
    const qreal leading = line.cursorToX(inBlock, QTextLine::Leading);
    const qreal trailing = line.cursorToX(inBlock, QTextLine::Trailing);
    const QRectF inDocument(std::min(leading, trailing), line.y(), std::abs(trailing - leading),
                            line.height());
    const QRect inViewport =
        inDocument.translated(layout->position()).toAlignedRect().translated(-scrolled(*box()));
    return inViewport.translated(box()->viewport()->mapToGlobal(QPoint(0, 0)));
}

int RichTextBoxAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inDocument = box()->viewport()->mapFromGlobal(point) + scrolled(*box());
    return document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
}

void RichTextBoxAccessible::scrollToSubstring(int startIndex, int endIndex) {
    // Lines wrap anywhere, so the box only ever scrolls up and down.
    const QRect area = box()->cursorRect(range(startIndex, startIndex)) |
                       box()->cursorRect(range(endIndex, endIndex));
    const int below = area.bottom() + 1 - box()->viewport()->height();
    QScrollBar* bar = box()->verticalScrollBar();
    bar->setValue(bar->value() + std::min(std::max(below, 0), area.top()));
}

QString RichTextBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // -2 asks about the caret, -1 and the end about the last character.
    const int count = characterCount();
    if (offset == -2) {
        offset = cursorPosition();
    }
    if (offset == -1 || offset == count) {
        offset = count - 1;
    }
    if (offset < 0 || offset > count) {
        *startOffset = *endOffset = -1;
        return {};
    }
    // The box holds plain text: every paragraph is in the document's font and alignment.
    const QTextBlock block = document()->findBlock(offset);
    *startOffset = block.position();
    *endOffset = block.position() + block.length() - 1;
    const QFont font = document()->defaultFont();
    QString family = font.family();
    for (const QChar special : QStringView(u"\\:,=;\"")) {
        family.replace(special, QString(u'\\') + special);
    }
    QString attributes = QStringLiteral("font-family:\"%1\";").arg(family);
    if (font.pointSize() > 0) {
        attributes += QStringLiteral("font-size:%1pt;").arg(font.pointSize());
    }
    const char* weight = font.weight() > QFont::Normal ? "bold" : "normal";
    const char* style = font.style() == QFont::StyleItalic    ? "italic"
                        : font.style() == QFont::StyleOblique ? "oblique"
                                                              : "normal";
    attributes += QStringLiteral("font-weight:%1;font-style:%2;text-position:baseline;")
                      .arg(QLatin1String(weight), QLatin1String(style));
    if (block.textDirection() == Qt::RightToLeft) {
        attributes += QStringLiteral("writing-mode:rl;");
    }
    const Qt::Alignment alignment = document()->defaultTextOption().alignment();
    attributes += alignment & Qt::AlignRight     ? QStringLiteral("text-align:right;")
                  : alignment & Qt::AlignHCenter ? QStringLiteral("text-align:center;")
                                                 : QStringLiteral("text-align:left;");
    return attributes;
}

void RichTextBoxAccessible::deleteText(int startOffset, int endOffset) {
    range(startOffset, endOffset).removeSelectedText();
}

void RichTextBoxAccessible::insertText(int offset, const QString& text) {
    QTextCursor cursor = range(offset, offset);
    box()->insertFitting(cursor, text);
}

void RichTextBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    QTextCursor cursor = range(startOffset, endOffset);
    box()->insertFitting(cursor, text);
}

} // namespace runtime
