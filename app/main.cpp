// The converter's entry: starts Qt, builds the window Form1 from its design data, binds its
// procedures, loads and shows it, and runs until the window is closed.

#include "Form1.h"
#include "Form1Design.h"
#include "FormWindow.h"
#include "Version.h"

#include <QApplication>
#include <QIcon>
#include <iostream>

int main(int, char*[]) {
    // The program takes no command-line arguments, and neither does the toolkit on its behalf:
    // it sees only the program's name. Its environment variables still apply.
    char name[] = MIROVANE_NAME;
    char* arguments[] = {name, nullptr};
    int count = 1;
    QApplication application(count, arguments);
    QApplication::setApplicationName(QStringLiteral(MIROVANE_NAME));
    QApplication::setApplicationDisplayName(QStringLiteral(MIROVANE_DISPLAY_NAME));
    QApplication::setApplicationVersion(QStringLiteral(MIROVANE_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral(MIROVANE_APP_ID));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/mirovane-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);

    runtime::FormWindow window(form::form1Design(), std::cerr);
    form::Form1 form1(window);
    runtime::bindEvents(window.delivery(), form1, form::form1Bindings());
    window.loadAndShow();
    return QApplication::exec();
}
