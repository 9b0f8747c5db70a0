// The least a Qt Widgets program does to show the game's window with its text: the yardstick
// the benchmark measures the game against.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "design.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zintu!"));
    window.setFixedSize(zintu::design::toPixels(zintu::design::clientWidth),
                        zintu::design::toPixels(zintu::design::clientHeight));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Level: 1")));
    window.show();
    return QApplication::exec();
}
