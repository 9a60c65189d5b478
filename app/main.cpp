// The converter's entry: starts Qt, builds the window Form1 from its design data, binds its
// procedures, loads and shows it, and runs until the window is closed.

#include "AnimationDriver.h"
#include "Form1.h"
#include "Form1Design.h"
#include "FormWindow.h"
#include "Version.h"

#include <QApplication>
#include <QClipboard>
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
    // On X11 a program that still owns a selection when it quits offers it to the desktop's
    // clipboard manager and waits for the manager's answer, up to 5 s. Selected text (the
    // primary selection) is not kept after the program is gone anyway, so it is given up first:
    // only a copied text (the clipboard) is still handed over.
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && clipboard->ownsSelection()) {
            clipboard->clear(QClipboard::Selection);
        }
    });

    // The style's animations are paced like the refresh, by a timer that never makes the
    // system's clock faster.
    runtime::AnimationDriver animations;
    animations.install();

    runtime::FormWindow window(form::form1Design(), std::cerr);
    form::Form1 form1(window);
    runtime::bindEvents(window.delivery(), form1, form::form1Bindings());
    window.loadAndShow();
    return QApplication::exec();
}
