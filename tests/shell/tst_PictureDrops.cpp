// Dropping files on the main frame, as a file manager does: the drag enters the frame's window
// where the pointer is, so it reaches whatever widget lies under the pointer there.
#include "MainWindowUnderTest.h"
#include "PictureBox.h"
#include "frmViewer.h"

#include <QDropEvent>
#include <QMap>
#include <QMimeData>

using namespace pixdock;

namespace {
// Drags `data` into `frame`'s window to the point `at` of `target`, moves it there and drops it,
// when the frame takes the drag. Returns whether it took the drag.
bool dropOn(QWidget *frame, QWidget *target, QPoint at, QMimeData *data)
{
    const QPoint point = target->mapTo(frame, at);
    const auto send = [frame](QEvent &&event) {
        QCoreApplication::sendEvent(frame->windowHandle(), &event);
        return event.isAccepted();
    };
    const auto actions = Qt::CopyAction | Qt::MoveAction;
    if (!send(QDragEnterEvent(point, actions, data, Qt::LeftButton, Qt::NoModifier))) {
        send(QDragLeaveEvent());
        return false;
    }
    send(QDragMoveEvent(point, actions, data, Qt::LeftButton, Qt::NoModifier));
    return send(QDropEvent(point, actions, data, Qt::LeftButton, Qt::NoModifier));
}
} // namespace

class TestPictureDrops : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    // Picture files dropped open one viewer each, like File > Open (the first closes a lone
    // viewer); anything else is refused and changes nothing.
    void dropsWhereThePointerIs_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kind");
        for (const char *target : {"area", "panel", "viewer"})
            QTest::addRow("two pictures on the %s", target) << target << "pictures";
        for (const char *kind : {"text", "web address", "text file", "folder", "picture and text file"}) {
            QTest::addRow("%s on a viewer", kind) << "viewer" << kind;
            QTest::addRow("%s on the area", kind) << "area" << kind;
        }
    }
    void dropsWhereThePointerIs()
    {
        QFETCH(QString, target);
        QFETCH(QString, kind);
        if (target == "viewer")
            gCurrentPath = test::writePicture(m_pictures.path(), QStringLiteral("open.png"), {40, 30});
        frmViewer *viewer = target == "viewer" ? frmViewer::openNew() : nullptr;
        QWidget *under = target == "area" ? main()->childArea()->viewport()
                         : viewer ? static_cast<QWidget *>(viewer->picFramed()) : WindowList::instance().at(1);
        const QPoint at = target == "area" ? under->rect().bottomRight() - QPoint(4, 4) : viewer ? QPoint(5, 5) : under->rect().center();
        // The point lies on the target, not on something in front of it.
        QWidget *atPoint = main()->childAt(under->mapTo(main(), at));
        QVERIFY(atPoint == under || under->isAncestorOf(atPoint));
        const int before = WindowList::instance().count();
        const QString status = frameStatusText();
        const QString first = test::writePicture(m_pictures.path(), QStringLiteral("first.png"), {30, 20});
        const QString second = test::writePicture(m_pictures.path(), QStringLiteral("second.jpg"), {50, 40});
        const QString text = test::writeBytes(m_pictures.path(), QStringLiteral("notes.png"), "not a picture");
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : QMap<QString, QStringList>{{"pictures", {first, second}}, {"text file", {text}},
                 {"web address", {"https://example.org/p.png"}}, {"folder", {m_pictures.path()}},
                 {"picture and text file", {first, text}}}.value(kind))
            urls << QUrl::fromUserInput(path);
        kind == "text" ? data.setText(first) : data.setUrls(urls);
        QCOMPARE(dropOn(main(), under, at, &data), kind == "pictures");
        test::flushDeletes();
        QCOMPARE(frameStatusText(), kind == "pictures" ? second : status);
        QCOMPARE(WindowList::instance().count() - before + (viewer ? 1 : 0), kind == "pictures" ? 2 : viewer ? 1 : 0);
        if (kind == "pictures") {
            QCOMPARE(test::windowsCaptioned(caption::Viewer), 2);
            auto *last = qobject_cast<frmViewer *>(test::lastWindow());
            QVERIFY(last && last->picFramed()->size() == QSize(50, 40));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestPictureDrops)
#include "tst_PictureDrops.moc"
