// The large-catalogue sheet runs.
#include "CatalogueSheet.h"

#include "CatalogueStore.h"
#include "HostFrame.h"
#include "ProgramFolder.h"
#include "SheetTiming.h"
#include "TestState.h"
#include "ThumbnailSheetView.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmThumbnails.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

namespace pixdock::bench {

namespace {

constexpr int ScreenTimeoutMs = 60000;
constexpr int BuildTimeoutMs = 30 * 60 * 1000;
constexpr int ListSettleMs = 3000;

bool fillCatalogue(const QString &catalogue, const QStringList &pictures)
{
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(catalogue);
        if (db.open() && db.transaction()) {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)"));
            done = true;
            for (const QString &path : pictures) {
                const QFileInfo info(path);
                insert.addBindValue(info.fileName());
                insert.addBindValue(info.path());
                insert.addBindValue(QStringLiteral("a picture"));
                done = done && insert.exec();
            }
            done = db.commit() && done;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return done;
}

} // namespace

QStringList linkedPictures(const QString &folder, const QStringList &pictures, int count)
{
    QDir().mkpath(folder);
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count && !pictures.isEmpty(); ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 6, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(path)
            && ::link(QFile::encodeName(pictures.at(i % pictures.size())).constData(),
                      QFile::encodeName(path).constData())
                   != 0)
            QFile::copy(pictures.at(i % pictures.size()), path);
        paths.append(path);
    }
    return paths;
}

CatalogueSheetFigures timeCatalogueSheet(const QStringList &pictures, bool untilBuilt)
{
    CatalogueSheetFigures figures;
    figures.rows = int(pictures.size());
    test::ProgramFolder program;
    if (!fillCatalogue(program.cataloguePath(), pictures))
        return figures;
    {
        test::HostFrame frame;
        catalogue::OpenConnection();
        frmImgList *list = sharedWindow<frmImgList>();
        list->showWindow();
        // The list window was opened a while before the button is pressed: whatever it reads
        // after its first screen is read by then.
        runUntil([] { return false; }, ListSettleMs);

        MemoryWatch memory;
        QElapsedTimer clock;
        clock.start();
        frmThumbnails *sheet = frmThumbnails::showShared();
        ThumbnailSheetView *view = sheetViewOf(sheet);
        ScreenWatch screen(view, clock);
        if (runUntil([&] { return screen.ms.has_value(); }, ScreenTimeoutMs))
            figures.firstScreenMs = *screen.ms;

        screen.reset();
        QElapsedTimer scrolled;
        scrolled.start();
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        ScreenWatch end(view, scrolled);
        if (runUntil([&] { return end.ms.has_value(); }, ScreenTimeoutMs))
            figures.endScreenMs = *end.ms;

        if (untilBuilt && runUntil([&] { return !sheet->isBuilding(); }, BuildTimeoutMs))
            figures.buildMs = double(clock.nsecsElapsed()) / 1e6;
        QCoreApplication::processEvents();
        figures.peakMB = memory.peakMB();
        figures.settled = sheet->findChild<QObject *>(QStringLiteral("lblProgress"))
                              ->property("text").toString().section(QLatin1Char(' '), 0, 0).toInt();
        test::resetProgramState();
    }
    return figures;
}

} // namespace pixdock::bench
