// Starts a server of its own, prints its socket folder and waits to be killed: the test of the
// watchdog kills this process and checks that the server and its folder go with it.
#include "PostgresServer.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    pixdock::test::PostgresServer server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.failure()));
        return 1;
    }
    std::printf("%s\n", qPrintable(server.socketFolder()));
    std::fflush(stdout);
    return app.exec();
}
