#include "platform/ui/application.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Kandrivel"));
    TApplication::SetTitle(QStringLiteral("Kandrivel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kandrivel"));
    window.resize(900, 640);
    window.show();
    return app.exec();
}
