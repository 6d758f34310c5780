#include "platform/widgets/Application.h"
#include "windows/main/Program.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    return startProgram();
}
