#pragma once
// Announcer tells screen readers what changes in the window away from the focus. The window's
// outputs change as the person types, in boxes the person is not in; once they have changed and
// then stayed the same through a pause in typing, the announcer says them once, politely, as
// the boxes show them: "212.00 Degrees in Fahrenheit, 37.78 Degrees in Celsius". The outputs
// that the window first shows are not news and are not said. An error is said at once.
//
// Qt 6.8 sends announcements to screen readers as such. Qt 6.4 has no announcement; there, the
// announcer shows a notification (an accessible object of that role, with no size on screen),
// which screen readers read out when it appears. It withdraws the notification (hides it and
// clears its text) once screen readers have had time to read it, and an error's at once when
// the error goes: the window's accessible tree keeps no old news.

#include <QBasicTimer>
#include <QObject>
#include <QString>
#include <vector>

class QLabel;
class QLineEdit;
class QWidget;

namespace runtime {

class Announcer final : public QObject {
    Q_OBJECT

public:
    /// How long the outputs must stay the same before they are said, unless setPause() says.
    static constexpr int kPauseMs = 1000;
    /// How long Qt 6.4's notification stays for screen readers to read it, unless
    /// setReadingTime() says. Orca 43 read it within 0.1 s on an idle machine, but took up to
    /// 3 s with eight busy processes a core.
    static constexpr int kReadingMs = 5000;

    /// Announces on behalf of `window`, which must outlive it.
    explicit Announcer(QWidget& window);

    /// Makes `box` one of the outputs that are said, after those watched before it.
    /// Example: `announcer.watch(fahrenheit); announcer.watch(celsius);`
    void watch(QLineEdit& box);

    /// Example: `announcer.setPause(300)`: the outputs are said 0.3 s after their last change.
    void setPause(int milliseconds) { m_pauseMs = milliseconds; }

    /// Example: `announcer.setReadingTime(300)`: Qt 6.4's notification is withdrawn 0.3 s after
    /// it appears. (Qt 6.8's announcements leave nothing behind.)
    void setReadingTime(int milliseconds) { m_readingMs = milliseconds; }

    /// What the outputs say now: each box's text and then its accessible name, with runs of
    /// blanks made one, joined by ", ".
    /// Example: "212.00 Degrees in Fahrenheit, 37.78 Degrees in Celsius".
    QString outputs() const;

    /// Says `message` at once, before anything said politely, as for an error; outputs that
    /// have not settled yet are not said.
    /// Example: `announcer.alert("Error: Overflow")`.
    void alert(const QString& message);

    /// The error last said by alert() has gone from the window: nothing said of it stays for
    /// screen readers to find.
    void alertGone();

signals:
    /// Screen readers have just been told `message`, before anything else if `assertive`.
    void announced(const QString& message, bool assertive);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void outputChanged();
    void announce(const QString& message, bool assertive);
    void withdraw();

    QWidget& m_window;
    std::vector<QLineEdit*> m_boxes;
    QBasicTimer m_pause;
    int m_pauseMs = kPauseMs;
    QString m_said; ///< the outputs last said, or first shown
    QLabel* m_notification = nullptr;
    QBasicTimer m_reading; ///< runs while the notification shows
    int m_readingMs = kReadingMs;
    bool m_alerting = false; ///< the notification shows an error
};

} // namespace runtime
