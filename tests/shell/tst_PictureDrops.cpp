// Dropping files on the main frame, as a file manager does: the drag enters the frame's window
// where the pointer is, so it reaches whatever widget lies under the pointer there.
#include "Frame.h"
#include "MainWindowUnderTest.h"
#include "PictureBox.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>

using namespace pixdock;

namespace {
// Drags `data` into `frame`'s window to the point `at` of `target`, moves it there and drops it,
// when the frame takes the drag. Returns whether it took the drag.
bool dropOn(QWidget *frame, QWidget *target, QPoint at, QMimeData *data)
{
    const QPoint point = target->mapTo(frame, at);
    QWindow *window = frame->windowHandle();
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(window, &leave);
        return false;
    }
    QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    return drop.isAccepted();
}

QMimeData *filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}
} // namespace

class TestPictureDrops : public QObject
{
    Q_OBJECT
    test::MainWindowUnderTest m_main;
    QTemporaryDir m_pictures;

    frmViewer *openViewer()
    {
        gCurrentPath = test::writePicture(m_pictures.path(), QStringLiteral("open.png"), {40, 30});
        return frmViewer::openNew();
    }

private slots:
    void init() { m_main.start(); }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    void picturesDroppedOpenOneViewerEach_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("the empty work area") << "area";
        QTest::newRow("the control panel") << "panel";
        QTest::newRow("a viewer") << "viewer";
    }

    void picturesDroppedOpenOneViewerEach()
    {
        QFETCH(QString, target);
        frmMain *main = m_main.window();
        frmViewer *viewer = target == "viewer" ? openViewer() : nullptr;
        QWidget *under = nullptr;
        QPoint at;
        if (target == "area") {
            under = main->childArea()->viewport();
            at = under->rect().bottomRight() - QPoint(4, 4);
        } else if (target == "panel") {
            under = WindowList::instance().at(1);
            at = under->rect().center();
        } else {
            under = viewer->picFramed();
            at = QPoint(5, 5);
        }
        // The point lies on the target, not on something in front of it.
        QWidget *atPoint = main->childAt(under->mapTo(main, at));
        QVERIFY(atPoint == under || under->isAncestorOf(atPoint));

        const int before = WindowList::instance().count();
        const QString first = test::writePicture(m_pictures.path(), QStringLiteral("first.png"), {30, 20});
        const QString second = test::writePicture(m_pictures.path(), QStringLiteral("second.jpg"), {50, 40});
        std::unique_ptr<QMimeData> data(filesData({first, second}));
        QVERIFY(dropOn(main, under, at, data.get()));

        // Like File > Open: the first closes a lone viewer; each picture has a viewer of its own.
        test::flushDeletes();
        const int opened = WindowList::instance().count() - before + (viewer ? 1 : 0);
        QCOMPARE(opened, 2);
        const int count = WindowList::instance().count();
        QCOMPARE(WindowList::instance().captionAt(count - 2), caption::Viewer);
        QCOMPARE(WindowList::instance().captionAt(count - 1), caption::Viewer);
        auto *last = qobject_cast<frmViewer *>(WindowList::instance().at(count - 1));
        QCOMPARE(last->picFramed()->size(), QSize(50, 40));
        QCOMPARE(frameStatusText(), second);
    }

    void anythingButPictureFilesIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text") << "text";
        QTest::newRow("a web address") << "web";
        QTest::newRow("a text file") << "textfile";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a picture with a text file") << "mixed";
    }

    void anythingButPictureFilesIsRefused()
    {
        QFETCH(QString, kind);
        frmMain *main = m_main.window();
        frmViewer *viewer = openViewer();
        auto data = std::make_unique<QMimeData>();
        const QString picture = test::writePicture(m_pictures.path(), QStringLiteral("p.png"), {30, 20});
        const QString text = test::writeBytes(m_pictures.path(), QStringLiteral("notes.png"), "not a picture");
        if (kind == "text")
            data->setText(picture);
        else if (kind == "web")
            data->setUrls({QUrl(QStringLiteral("https://example.org/p.png"))});
        else if (kind == "textfile")
            data->setUrls({QUrl::fromLocalFile(text)});
        else if (kind == "folder")
            data->setUrls({QUrl::fromLocalFile(m_pictures.path())});
        else
            data->setUrls({QUrl::fromLocalFile(picture), QUrl::fromLocalFile(text)});
        const int before = WindowList::instance().count();
        QVERIFY(!dropOn(main, viewer->picFramed(), QPoint(5, 5), data.get()));
        QVERIFY(!dropOn(main, main->childArea()->viewport(),
                        main->childArea()->viewport()->rect().bottomRight() - QPoint(4, 4), data.get()));
        QCOMPARE(WindowList::instance().count(), before);
        QCOMPARE(frameStatusText(), gCurrentPath);
    }
};

PIXDOCK_REGISTER_TEST(TestPictureDrops)
#include "tst_PictureDrops.moc"
