#include "Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTimerEvent>
#include <algorithm>

namespace runtime {
namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// The notification that stands in for an announcement is a label of this name, which screen
// readers see as a notification named after its text. (Qt asks for a widget's accessible
// interface only once something looks at it, after the name is given.)
constexpr QLatin1StringView kNotificationName("announcement");

class NotificationAccessible final : public QAccessibleWidget {
public:
    explicit NotificationAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text which) const override {
        return which == QAccessible::Name ? static_cast<QLabel*>(widget())->text()
                                          : QAccessibleWidget::text(which);
    }
};

QAccessibleInterface* notificationInterface(const QString& className, QObject* object) {
    if (className == QLatin1StringView("QLabel") && object->objectName() == kNotificationName) {
        return new NotificationAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}
#endif

} // namespace

Announcer::Announcer(QWidget& window)
    : QObject(&window)
    , m_window(window) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        QAccessible::installFactory(notificationInterface);
        return true;
    }();
    Q_UNUSED(installed);
    m_notification = new QLabel(&window);
    m_notification->setObjectName(kNotificationName);
    m_notification->setGeometry(0, 0, 0, 0);
    m_notification->hide();
#endif
}

void Announcer::watch(QLineEdit& box) {
    m_boxes.push_back(&box);
    connect(&box, &QLineEdit::textChanged, this, &Announcer::outputChanged);
}

QString Announcer::outputs() const {
    QStringList parts;
    for (const QLineEdit* box : m_boxes) {
        parts.append(box->text() + u' ' + box->accessibleName().simplified());
    }
    return parts.join(QStringLiteral(", "));
}

void Announcer::outputChanged() {
    // The outputs that the window first shows, once every box shows something, are what later
    // outputs are compared with; they are not said.
    if (m_said.isEmpty()) {
        const bool allShown =
            std::none_of(m_boxes.begin(), m_boxes.end(),
                         [](const QLineEdit* box) { return box->text().isEmpty(); });
        if (allShown) {
            m_said = outputs();
        }
        return;
    }
    m_pause.start(m_pauseMs, this);
}

void Announcer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_reading.timerId()) {
        withdraw();
        return;
    }
    if (event->timerId() != m_pause.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_pause.stop();
    const QString now = outputs();
    if (now != m_said) {
        m_said = now;
        announce(now, false);
    }
}

// An error ends the wait for the outputs to settle: they stay as they were before the input that
// failed, and were of a number on its way to that input.
void Announcer::alert(const QString& message) {
    m_pause.stop();
    announce(message, true);
}

void Announcer::alertGone() {
    if (m_alerting) {
        withdraw();
    }
}

void Announcer::announce(const QString& message, bool assertive) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(&m_window, message);
    announcement.setPoliteness(assertive ? QAccessible::AnnouncementPoliteness::Assertive
                                         : QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&announcement);
#else
    // Screen readers read a notification out when it appears, after what they are saying.
    Q_UNUSED(assertive);
    m_notification->hide();
    m_notification->setText(message);
    m_notification->show();
    m_alerting = assertive;
    m_reading.start(m_readingMs, this);
#endif
    emit announced(message, assertive);
}

// Screen readers read the notification's text some time after it appears (Orca 43 as it gets to
// the event), so it stays until then. setText() rather than clear(): only setText() tells them
// that the name has changed, for those that keep names.
void Announcer::withdraw() {
    m_reading.stop();
    m_alerting = false;
    if (m_notification != nullptr) {
        m_notification->hide();
        m_notification->setText(QString());
    }
}

} // namespace runtime
