#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kandrivel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kandrivel"));
    window.resize(900, 640);
    window.show();
    return app.exec();
}
