// pixdock-catalogue-probe: runs one catalogue scenario (start, add, remove, search, list) on
// the db.fil of a program folder, with the real windows on the offscreen platform, and prints
// its report. The reliability tests run it as an ordinary user, for whom file and folder
// permissions count (they do not for root).
//
//   pixdock-catalogue-probe PROGRAM-FOLDER SCENARIO
#include "CatalogueScenarios.h"
#include "HostFrame.h"
#include "Locations.h"
#include "TestState.h"

#include <QApplication>

#include <cstdio>

using namespace pixdock;

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM-FOLDER start|add|remove|search|list\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    test::beforeApplication();
    QApplication app(argc, argv);
    test::enterAnsweringMode();
    locations::setProgramFolder(app.arguments().at(1));
    test::HostFrame frame;
    std::fputs(reliability::scenarioByName(app.arguments().at(2)).toText().toUtf8().constData(), stdout);
    test::resetProgramState();
    return 0;
}
