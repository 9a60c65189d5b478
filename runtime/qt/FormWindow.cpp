#include "FormWindow.h"

#include "RichTextBoxWidget.h"
#include "RuntimeError.h"
#include "TextBoxWidget.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>
#include <algorithm>
#include <optional>

namespace runtime {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr ColorValue kSystemColourFlag = 0x80000000;
// The error notice sits in the strip below the lowest control, inset like the captions.
constexpr int kNoticeGapTwips = 30;
constexpr int kNoticeHeightTwips = 300;
constexpr int kNoticePointSize = 9;

QFont toFont(const FontDesign& design) {
    QFont font(QString::fromUtf8(design.name));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(design.pointSize);
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    return font;
}

// A colour value is 0x00BBGGRR, or 0x800000nn for a system colour; the only system colour that
// design data uses is the window background, which is the palette's base for editable text.
QColor toColor(ColorValue value, const QPalette& palette) {
    if ((value & kSystemColourFlag) != 0) {
        return palette.color(QPalette::Base);
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

Qt::Alignment toQt(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

void applyColours(QWidget& widget, const ControlDesign& control, QPalette::ColorRole text,
                  QPalette::ColorRole background) {
    QPalette palette = widget.palette();
    if (control.foreColor) {
        palette.setColor(text, toColor(*control.foreColor, palette));
    }
    if (control.backColor) {
        palette.setColor(background, toColor(*control.backColor, palette));
    }
    widget.setPalette(palette);
}

} // namespace

FormWindow::FormWindow(const FormDesign& design, std::ostream& log, QWidget* parent)
    : QWidget(parent)
    , m_errors(log)
    , m_widgets(design.controls.size(), nullptr)
    , m_textBoxes(design.controls.size(), nullptr)
    , m_richTextBoxes(design.controls.size(), nullptr) {
    setObjectName(QString::fromUtf8(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    setFont(toFont(design.font));
    setFixedSize(pixels(design.clientWidth), pixels(design.clientHeight));

    for (ControlId id = 0; id < design.controls.size(); ++id) {
        m_widgets[id] = createControl(design.controls[id], id);
    }
    setUpTabOrder(design);
    nameBoxesAfterTheirCaptions(design);
    createErrorNotice(design);
    m_errors.setListener([this](const RuntimeError* error) { showError(error); });
}

FormWindow::~FormWindow() {
    m_errors.setListener({});
}

int FormWindow::pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QWidget* FormWindow::createControl(const ControlDesign& control, ControlId id) {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(QString::fromUtf8(control.text), this);
        label->setAlignment(toQt(control.alignment));
        applyColours(*label, control, QPalette::WindowText, QPalette::Window);
        widget = label;
        break;
    }
    case ControlKind::TextBox: {
        auto* box = new TextBoxWidget(this);
        box->setText(QString::fromUtf8(control.text));
        applyColours(*box, control, QPalette::Text, QPalette::Base);
        m_textBoxes[id] = box;
        widget = box;
        break;
    }
    case ControlKind::RichTextBox: {
        auto* box = new RichTextBoxWidget(this);
        box->setPlainText(QString::fromUtf8(control.text));
        applyColours(*box, control, QPalette::Text, QPalette::Base);
        m_richTextBoxes[id] = box;
        widget = box;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(QString::fromUtf8(control.text), this);
        connect(button, &QPushButton::clicked, this,
                [this, id] { m_delivery.raise(id, Event::Click); });
        widget = button;
        break;
    }
    case ControlKind::Timer:
        m_timerIntervals.emplace_back(id, control.intervalMs);
        return nullptr;
    }
    widget->setObjectName(QString::fromUtf8(control.name));
    widget->setFont(toFont(control.font));
    widget->setGeometry(pixels(control.left), pixels(control.top), pixels(control.width),
                        pixels(control.height));
    return widget;
}

// Tab visits the controls that take the focus in the order of their tab indices.
void FormWindow::setUpTabOrder(const FormDesign& design) {
    std::vector<std::pair<int, QWidget*>> order;
    for (ControlId id = 0; id < design.controls.size(); ++id) {
        QWidget* widget = m_widgets[id];
        if (widget != nullptr && widget->focusPolicy() != Qt::NoFocus) {
            order.emplace_back(design.controls[id].tabIndex, widget);
        }
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1].second, order[i].second);
    }
    m_firstFocus = order.empty() ? nullptr : order.front().second;
}

// A screen reader names each box after the caption right above it.
void FormWindow::nameBoxesAfterTheirCaptions(const FormDesign& design) {
    const auto& controls = design.controls;
    for (ControlId box = 0; box < controls.size(); ++box) {
        const ControlKind kind = controls[box].kind;
        if (kind != ControlKind::TextBox && kind != ControlKind::RichTextBox) {
            continue;
        }
        std::optional<ControlId> caption;
        for (ControlId label = 0; label < controls.size(); ++label) {
            const bool above = controls[label].kind == ControlKind::Label &&
                               controls[label].top < controls[box].top;
            if (above && (!caption || controls[label].top > controls[*caption].top)) {
                caption = label;
            }
        }
        if (caption) {
            m_widgets[box]->setAccessibleName(QString::fromUtf8(controls[*caption].text));
            static_cast<QLabel*>(m_widgets[*caption])->setBuddy(m_widgets[box]);
        }
    }
}

void FormWindow::createErrorNotice(const FormDesign& design) {
    int left = design.clientWidth;
    int right = 0;
    int bottom = 0;
    for (const ControlDesign& control : design.controls) {
        if (control.kind != ControlKind::Timer) {
            left = std::min(left, control.left);
            right = std::max(right, control.left + control.width);
            bottom = std::max(bottom, control.top + control.height);
        }
    }
    m_errorNotice = new QLabel(this);
    m_errorNotice->setObjectName(QStringLiteral("errorNotice"));
    m_errorNotice->setAccessibleDescription(tr("Runtime error"));
    m_errorNotice->setFocusPolicy(Qt::NoFocus);
    m_errorNotice->setAlignment(Qt::AlignCenter);
    QFont font = this->font();
    font.setPointSize(kNoticePointSize);
    m_errorNotice->setFont(font);
    QPalette palette = m_errorNotice->palette();
    palette.setColor(QPalette::WindowText, Qt::darkRed);
    m_errorNotice->setPalette(palette);
    m_errorNotice->setGeometry(pixels(left), pixels(bottom + kNoticeGapTwips), pixels(right - left),
                               pixels(kNoticeHeightTwips));
    m_errorNotice->hide();
}

void FormWindow::showError(const RuntimeError* error) {
    if (error == nullptr) {
        m_errorNotice->hide();
        m_errorNotice->clear();
        return;
    }
    m_errorNotice->setText(QString::fromStdString(error->description()));
    m_errorNotice->setToolTip(tr("Runtime error %1").arg(error->number()));
    m_errorNotice->show();
    QAccessibleEvent alert(m_errorNotice, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

ControlRef<TextBox> FormWindow::textBox(ControlId id) {
    if (id < m_textBoxes.size() && m_textBoxes[id] != nullptr) {
        return ControlRef<TextBox>(*m_textBoxes[id]);
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

ControlRef<Dispatch> FormWindow::lateBound(ControlId id) {
    if (id < m_richTextBoxes.size() && m_richTextBoxes[id] != nullptr) {
        return ControlRef<Dispatch>(*m_richTextBoxes[id]);
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

QWidget* FormWindow::widget(ControlId id) const {
    return id < m_widgets.size() ? m_widgets[id] : nullptr;
}

void FormWindow::loadAndShow() {
    m_delivery.raise(kFormItself, Event::Load);
    for (const auto& [id, interval] : m_timerIntervals) {
        m_runningTimers.emplace_back(startTimer(interval), id);
    }
    if (m_firstFocus != nullptr) {
        m_firstFocus->setFocus(Qt::ActiveWindowFocusReason);
    }
    show();
}

void FormWindow::timerEvent(QTimerEvent* event) {
    for (const auto& [timerId, id] : m_runningTimers) {
        if (timerId == event->timerId()) {
            m_delivery.raise(id, Event::Timer);
            return;
        }
    }
    QWidget::timerEvent(event);
}

} // namespace runtime
