#include "widgets/Application.h"
#include "windows/main/Program.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    // Desktops match the program's windows with its menu entry (and icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("no.tessund.Tessund"));
    return startProgram();
}
