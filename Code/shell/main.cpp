#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tonequill");
    QWidget window;
    window.setWindowTitle(QApplication::applicationName());
    window.resize(719, 511);
    window.show();
    return QApplication::exec();
}
