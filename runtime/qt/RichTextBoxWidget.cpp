#include "RichTextBoxWidget.h"

#include "RichTextBoxAccessible.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>

namespace runtime {
namespace {

Qt::Alignment toQt(int alignment) {
    switch (alignment) {
    case 1:
        return Qt::AlignRight;
    case 2:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The longest beginning of `text` of at most `room` code units that ends between two characters
// as a person sees them: never inside a surrogate pair or between a letter and its accents.
qsizetype fittingLength(QStringView text, qsizetype room) {
    if (text.size() <= room) {
        return text.size();
    }
    if (room <= 0) {
        return 0;
    }
    // The boundary rules look at the characters on both sides; the rest of the text is not needed.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.first(room + 1).toString());
    graphemes.setPosition(room);
    return graphemes.isAtBoundary() ? room : std::max<qsizetype>(graphemes.toPreviousBoundary(), 0);
}

} // namespace

RichTextBoxWidget::RichTextBoxWidget(QWidget* parent)
    : QTextEdit(parent) {
    RichTextBoxAccessible::installFactory();
    setAcceptRichText(false);
    setTabChangesFocus(true);
    // Finding a word boundary in a long run of digits or letters would cost the rest of the run
    // for every line, on every edit.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { m_textValid = false; });
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBoxWidget::keepLayouts);
    m_desktopFlashTimeMs = QApplication::cursorFlashTime();
}

RichTextBoxWidget::~RichTextBoxWidget() {
    QApplication::setCursorFlashTime(m_desktopFlashTimeMs);
}

// A paragraph's layout normally throws its shaped glyphs away once its lines are placed, and
// every later cursor move and repaint shapes the paragraph again. That is nothing for a number,
// but a pasted megabyte on one line would be shaped several times for each key and each blink
// of the cursor; the glyphs are kept instead, which costs no more memory than laying it out.
void RichTextBoxWidget::keepLayouts(int position, int, int charsAdded) {
    const QTextBlock last = document()->findBlock(position + charsAdded);
    for (QTextBlock block = document()->findBlock(position); block.isValid();
         block = block.next()) {
        block.layout()->setCacheEnabled(true);
        if (block == last) {
            break;
        }
    }
}

void RichTextBoxWidget::setCursorBlinkTimeout(int milliseconds) {
    m_cursorBlinkTimeoutMs = milliseconds;
    wakeCursor();
}

bool RichTextBoxWidget::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        wakeCursor();
        break;
    case QEvent::FocusOut:
        m_cursorBlinkTimeout.stop();
        break;
    default:
        break;
    }
    return QTextEdit::event(event);
}

void RichTextBoxWidget::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // The text edit has just handed its font to the document; the document keeps it with
        // shaping reserved for the scripts that need it to be legible, such as Arabic or
        // Devanagari. Digits, signs and Latin letters are laid out unshaped, which halves what a
        // keystroke in a long paragraph costs.
        QFont font = document()->defaultFont();
        font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
        document()->setDefaultFont(font);
    }
}

void RichTextBoxWidget::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_cursorBlinkTimeout.timerId()) {
        QTextEdit::timerEvent(event);
        return;
    }
    // A blinking cursor repaints the box twice a second; after the timeout it stays solid until
    // the next input. The box is the program's only blinking cursor, so the application-wide
    // setting is its own.
    m_cursorBlinkTimeout.stop();
    QApplication::setCursorFlashTime(0);
}

void RichTextBoxWidget::keyPressEvent(QKeyEvent* event) {
    const bool breaksLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool typesText = !event->text().isEmpty() && event->text().front().isPrint();
    if ((breaksLine || typesText) && room(textCursor()) < 1) {
        event->accept(); // taken, so that no other widget acts on it, and refused
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBoxWidget::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    QTextCursor replaced = textCursor();
    if (event->replacementLength() > 0) {
        replaced.setPosition(replaced.position() + event->replacementStart());
        replaced.setPosition(replaced.position() + event->replacementLength(),
                             QTextCursor::KeepAnchor);
    }
    const qsizetype fitting = fittingLength(commit, room(replaced));
    if (fitting == commit.size()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(commit.left(fitting), event->replacementStart(),
                        event->replacementLength());
    QTextEdit::inputMethodEvent(&cut);
}

void RichTextBoxWidget::insertFromMimeData(const QMimeData* source) {
    const QString text = source->text();
    if (text.isEmpty()) {
        return;
    }
    QTextCursor cursor = textCursor();
    insertFitting(cursor, text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

qsizetype RichTextBoxWidget::room(const QTextCursor& cursor) const {
    const qsizetype length = document()->characterCount() - 1;
    return kMaxLength - length + (cursor.selectionEnd() - cursor.selectionStart());
}

// Pastes, drops, the stored Text and what assistive tools write go through here: the cut happens
// before the text reaches the document, so that a megabyte is never laid out.
void RichTextBoxWidget::insertFitting(QTextCursor& cursor, const QString& text) {
    cursor.insertText(text.left(fittingLength(text, room(cursor))));
}

void RichTextBoxWidget::wakeCursor() {
    QApplication::setCursorFlashTime(m_desktopFlashTimeMs);
    if (hasFocus()) {
        m_cursorBlinkTimeout.start(m_cursorBlinkTimeoutMs, this);
    }
}

QString RichTextBoxWidget::currentText() const {
    if (!m_textValid) {
        // The raw text keeps every character as typed (a no-break space stays one); only the
        // separators between paragraphs and lines become line feeds.
        m_text = document()->toRawText();
        m_text.replace(QChar::ParagraphSeparator, u'\n');
        m_text.replace(QChar::LineSeparator, u'\n');
        m_textValid = true;
    }
    return m_text;
}

Status RichTextBoxWidget::replaceText(const QString& text) {
    replaceWholeText(text);
    return Status::Ok;
}

void RichTextBoxWidget::replaceWholeText(const QString& text) {
    if (text == currentText()) {
        return;
    }
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    insertFitting(cursor, text);
}

Status RichTextBoxWidget::applyAlignment(int alignment) {
    if (alignment == m_alignment) {
        return Status::Ok;
    }
    // The document's default option aligns every paragraph, present and future, and is not an
    // edit: undo never sees it.
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(toQt(alignment));
    document()->setDefaultTextOption(option);
    m_alignment = alignment;
    return Status::Ok;
}

Status RichTextBoxWidget::takeFocus() {
    QWidget::setFocus(Qt::OtherFocusReason);
    return Status::Ok;
}

} // namespace runtime
