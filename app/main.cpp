#include "app/forms/main_window.h"
#include "platform/ui/application.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Kandrivel"));
    TApplication::SetTitle(QStringLiteral("Kandrivel"));
    // The main window creates the two resident forms; every other window is made on demand.
    Tform1 form1;
    form1.show();
    return app.exec();
}
