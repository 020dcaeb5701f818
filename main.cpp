// Pixdock: a picture viewer with a small picture catalogue.
#include "Startup.h"

int main(int argc, char **argv)
{
    return pixdock::Main(argc, argv);
}
