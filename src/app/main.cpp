#include "app/Program.h"
#include "app/uMisc.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    return startProgram();
}
