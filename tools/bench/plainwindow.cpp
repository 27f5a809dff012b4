// plainwindow: the yardstick of startupbench. A bare application with an empty
// main window of the tool's default size, shown; nothing else.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1075, 536);
    window.show();
    return QApplication::exec();
}
