// The floor of any program that refreshes a hundred times a second: a Qt window of the
// converter's size with a 10 ms timer that does nothing. steady-cpu.sh compares the converter's
// CPU use with this program's.

#include <QApplication>
#include <QBasicTimer>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
public:
    BareWindow() {
        setWindowTitle(QStringLiteral("Bare timer"));
        setFixedSize(312, 330);
        m_timer.start(10, this);
    }

protected:
    void timerEvent(QTimerEvent*) override {}

private:
    QBasicTimer m_timer;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    BareWindow window;
    window.show();
    return QApplication::exec();
}
