#include "FormWindow.h"

#include "Announcer.h"
#include "ColourContrast.h"
#include "IntervalTimer.h"
#include "RichTextBoxWidget.h"
#include "RuntimeError.h"
#include "Status.h"
#include "TextBoxWidget.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
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
constexpr ColorValue kNoticeColour = 0x00000080; // dark red

// How small a caption may be set to fit its box, and the room its ink keeps from either edge.
constexpr qreal kSmallestCaptionPoints = 6;
constexpr qreal kCaptionPointStep = 0.5;
constexpr qreal kCaptionInsetPixels = 2;

// Design faces are proportional sans-serif faces. Where one is missing, fontconfig chooses the
// face that stands in for it: a face with the same metrics, or else the desktop's sans-serif
// face. Some desktops' sans-serif face is monospace, though (one with only the Liberation faces
// installed); then the first of a few common sans-serif faces stands in, those with Arial's
// metrics first.
QFont toFont(const FontDesign& design) {
    const QString family = QString::fromUtf8(design.name);
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(design.pointSize);
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    if (QFontInfo(font).fixedPitch()) {
        font.setFamilies({family, "Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans"});
    }
    return font;
}

// A caption in a face wider than the design's (one without Arial's metrics) would be cut at both
// ends of its box; it is set smaller instead, until its ink fits with a little room either side.
void fitCaption(QLabel& label) {
    QFont font = label.font();
    const qreal room = label.contentsRect().width() - 2 * kCaptionInsetPixels;
    const auto width = [&label](const QFont& face) {
        const QFontMetricsF metrics(face, &label);
        return std::max(metrics.horizontalAdvance(label.text()),
                        metrics.boundingRect(label.text()).width());
    };
    while (width(font) > room && font.pointSizeF() > kSmallestCaptionPoints) {
        font.setPointSizeF(font.pointSizeF() - kCaptionPointStep);
    }
    label.setFont(font);
}

bool isSystemColour(ColorValue value) {
    return (value & kSystemColourFlag) != 0;
}

// A colour value is 0x00BBGGRR.
QColor toColor(ColorValue value) {
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

} // namespace

FormWindow::FormWindow(const FormDesign& design, std::ostream& log, QWidget* parent)
    : QWidget(parent)
    , m_errors(log)
    , m_widgets(design.controls.size(), nullptr)
    , m_textBoxes(design.controls.size(), nullptr)
    , m_richTextBoxes(design.controls.size(), nullptr)
    , m_announcer(new Announcer(*this)) {
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
    applyDesignColours();
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
        label->setAutoFillBackground(control.backColor.has_value());
        m_designColours.push_back(
            {label, QPalette::WindowText, QPalette::Window, control.foreColor, control.backColor});
        widget = label;
        break;
    }
    case ControlKind::TextBox: {
        auto* box = new TextBoxWidget(this);
        checkStatus(box->storeText(QString::fromUtf8(control.text)));
        m_designColours.push_back(
            {box, QPalette::Text, QPalette::Base, control.foreColor, control.backColor});
        m_textBoxes[id] = box;
        m_announcer->watch(*box);
        widget = box;
        break;
    }
    case ControlKind::RichTextBox: {
        auto* box = new RichTextBoxWidget(this);
        box->setPlainText(QString::fromUtf8(control.text));
        m_designColours.push_back(
            {box, QPalette::Text, QPalette::Base, control.foreColor, control.backColor});
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
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        fitCaption(*label);
    }
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
    font.setBold(true);
    m_errorNotice->setFont(font);
    m_designColours.push_back(
        {m_errorNotice, QPalette::WindowText, QPalette::Window, kNoticeColour, std::nullopt});
    m_errorNotice->setGeometry(pixels(left), pixels(bottom + kNoticeGapTwips), pixels(right - left),
                               pixels(kNoticeHeightTwips));
    m_errorNotice->hide();
}

// The design's colours on the desktop's current colour scheme. A system colour is left to the
// desktop, so that it follows every change of scheme by itself. A text colour is kept where it
// stands out from what lies behind it and otherwise moved toward the scheme's text colour.
void FormWindow::applyDesignColours() {
    const QPalette& scheme = palette();
    for (const DesignColours& control : m_designColours) {
        QPalette colours = control.widget->palette();
        // What lies behind the text: the design's background, or else the desktop's, which is
        // the window's behind a label and the box's own behind a box's text.
        QColor background =
            control.backgroundRole == QPalette::Window
                ? scheme.color(QPalette::Window)
                : QApplication::palette(control.widget).color(control.backgroundRole);
        if (control.background && !isSystemColour(*control.background)) {
            background = toColor(*control.background);
            colours.setColor(control.backgroundRole, background);
        }
        if (control.text && !isSystemColour(*control.text)) {
            colours.setColor(control.textRole, readableColour(toColor(*control.text), background,
                                                              scheme.color(control.textRole)));
        }
        control.widget->setPalette(colours);
    }
}

// The desktop's colour scheme has changed (its palette, its style or its theme): the window's
// palette follows it, and the design's colours are measured against it again.
void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyDesignColours();
    }
}

void FormWindow::showError(const RuntimeError* error) {
    if (error == nullptr) {
        m_errorNotice->hide();
        m_errorNotice->clear();
        m_announcer->alertGone();
        return;
    }
    m_errorNotice->setText(QString::fromStdString(error->description()));
    m_errorNotice->setToolTip(tr("Runtime error %1").arg(error->number()));
    m_errorNotice->show();
    QAccessibleEvent alert(m_errorNotice, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    m_announcer->alert(tr("Error: %1").arg(m_errorNotice->text()));
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
        auto timer =
            std::make_unique<IntervalTimer>([this, id] { m_delivery.raise(id, Event::Timer); });
        timer->start(interval);
        m_runningTimers.push_back(std::move(timer));
    }
    if (m_firstFocus != nullptr) {
        m_firstFocus->setFocus(Qt::ActiveWindowFocusReason);
    }
    show();
}

} // namespace runtime
