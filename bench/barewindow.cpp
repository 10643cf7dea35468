// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for start-up figures: the smallest Qt widgets program with a window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(369, 364);
    window.show();
    return QApplication::exec();
}
