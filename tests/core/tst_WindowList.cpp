// The open-window list, shared instances and the viewer-closing rules.
#include "ChildWindow.h"
#include "HostFrame.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"

#include <QMdiSubWindow>
#include <QTest>

using namespace pixdock;

namespace {
class CaptionedWindow : public ChildWindow
{
public:
    explicit CaptionedWindow(const QString &text = QStringLiteral("Other")) { setWindowTitle(text); }
    static inline int unloads = 0;

protected:
    void Form_Unload() override { ++unloads; }
};

class SharedThing : public CaptionedWindow
{
protected:
    void Form_Unload() override { forgetSharedWindow<SharedThing>(); }
};

class FailingLoad : public ChildWindow
{
protected:
    void Form_Load() override { throw RunTimeError(76, QStringLiteral("Path not found")); }
};

CaptionedWindow *openWindow(const QString &text)
{
    auto *w = new CaptionedWindow(text);
    w->load();
    w->showWindow();
    return w;
}
} // namespace

class TestWindowList : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::resetProgramState();
        m_frame = new test::HostFrame;
    }
    void cleanup()
    {
        test::resetProgramState();
        delete m_frame;
        QCOMPARE(WindowList::instance().count(), 0);
    }

    void windowsStandInLoadOrderAndMoveUpWhenOneLeaves()
    {
        auto &list = WindowList::instance();
        QCOMPARE(list.count(), 2);
        auto *a = openWindow(QStringLiteral("A"));
        openWindow(QStringLiteral("B"));
        QCOMPARE(list.captionAt(2), QStringLiteral("A"));
        a->unload();
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.captionAt(2), QStringLiteral("B"));
    }

    void unloadRunsFormUnloadOnceAndDestroysTheWindow()
    {
        CaptionedWindow::unloads = 0;
        QPointer<CaptionedWindow> w = openWindow(QStringLiteral("A"));
        w->unload();
        w->unload();
        test::flushDeletes();
        QCOMPARE(CaptionedWindow::unloads, 1);
        QVERIFY(w.isNull());
    }

    void closingTheSubWindowUnloadsTheWindow()
    {
        QPointer<CaptionedWindow> w = openWindow(QStringLiteral("A"));
        w->subWindow()->close();
        QCOMPARE(WindowList::instance().count(), 2);
        test::flushDeletes();
        QVERIFY(w.isNull());
    }

    void sharedInstanceIsMadeOnceAndForgottenOnUnload()
    {
        SharedThing *first = sharedWindow<SharedThing>();
        QCOMPARE(sharedWindow<SharedThing>(), first);
        QCOMPARE(WindowList::instance().count(), 3);
        first->unload();
        QVERIFY(!loadedSharedWindow<SharedThing>());
        SharedThing *second = sharedWindow<SharedThing>();
        QVERIFY(second != nullptr);
        QCOMPARE(loadedSharedWindow<SharedThing>(), second);
    }

    void aWindowWhoseLoadFailsIsNotKept()
    {
        QVERIFY_THROWS_EXCEPTION(RunTimeError, sharedWindow<FailingLoad>());
        QVERIFY(!loadedSharedWindow<FailingLoad>());
        QCOMPARE(WindowList::instance().count(), 2);
    }

    // A window loaded with no frame to hold it, as a dialog is, shows and comes forward on its own.
    void aWindowWithoutAFrameShowsOnItsOwn()
    {
        delete m_frame;
        m_frame = nullptr;
        QPointer<CaptionedWindow> w = new CaptionedWindow(QStringLiteral("A"));
        w->load();
        w->showWindow();
        w->bringToFront();
        QVERIFY(w->isVisible());
        QCOMPARE(w->subWindow(), nullptr);
        w->unload();
        test::flushDeletes();
        QVERIFY(w.isNull());
    }

    void viewerClosingRules_data()
    {
        QTest::addColumn<QStringList>("open");
        QTest::addColumn<int>("rule"); // 0 lone viewer, 1 viewer at position 2, 2 all viewers
        QTest::addColumn<QStringList>("left");
        const QString v = caption::Viewer;
        const QString s = caption::Search;
        QTest::newRow("lone viewer goes") << QStringList{v} << 0 << QStringList{};
        QTest::newRow("lone rule keeps viewer beside another window") << QStringList{v, s} << 0 << QStringList{v, s};
        QTest::newRow("lone rule keeps a search window at 2") << QStringList{s} << 0 << QStringList{s};
        QTest::newRow("position 2 viewer goes with others open") << QStringList{v, s} << 1 << QStringList{s};
        QTest::newRow("position 2 not a viewer") << QStringList{s, v} << 1 << QStringList{s, v};
        QTest::newRow("every viewer goes") << QStringList{v, s, v, v} << 2 << QStringList{s};
    }
    void viewerClosingRules()
    {
        QFETCH(QStringList, open);
        QFETCH(int, rule);
        QFETCH(QStringList, left);
        for (const QString &text : open)
            openWindow(text);
        if (rule == 0)
            closeLoneViewer();
        else if (rule == 1)
            closeViewerAtPosition2();
        else
            closeAllViewers();
        QStringList captions;
        for (int i = 2; i < WindowList::instance().count(); ++i)
            captions << WindowList::instance().captionAt(i);
        QCOMPARE(captions, left);
    }

private:
    test::HostFrame *m_frame = nullptr;
};

PIXDOCK_REGISTER_TEST(TestWindowList)
#include "tst_WindowList.moc"
