// The open-window list, shared instances, the lone-viewer rule, and twips. The other
// viewer-closing rules are pinned where opening and stepping use them.
#include "ChildWindow.h"
#include "HostFrame.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"
#include "WindowList.h"

#include <QTest>

using namespace pixdock;

namespace {
struct PlainWindow : ChildWindow {};
struct FailingLoad : ChildWindow {
    void Form_Load() override { throw RunTimeError(76, QStringLiteral("Path not found")); }
};
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

    // A shared window is made once; one whose load fails is not kept. (Load order, leaving and
    // unloading once are pinned by the Window menu and Exit, forgetting on unload by the list window.)
    void sharedWindowsAreMadeOnceAndAFramelessWindowShowsOnItsOwn()
    {
        auto &list = WindowList::instance();
        PlainWindow *first = sharedWindow<PlainWindow>();
        QVERIFY(sharedWindow<PlainWindow>() == first && list.count() == 3);
        // The lone-viewer rule closes only a viewer: the one window at 2 here is none.
        closeLoneViewer();
        QVERIFY_THROWS_EXCEPTION(RunTimeError, sharedWindow<FailingLoad>());
        QVERIFY(!loadedSharedWindow<FailingLoad>() && list.count() == 3);

        // A window loaded with no frame to hold it, as a dialog is, shows and comes forward on its own.
        test::resetProgramState();
        delete std::exchange(m_frame, nullptr);
        QPointer<ChildWindow> w = new PlainWindow;
        w->load();
        w->showWindow();
        w->bringToFront();
        QVERIFY(w->isVisible() && !w->subWindow());
        w->unload();
        test::flushDeletes();
        QVERIFY(w.isNull());
    }

    // Twips to pixels at 15 a pixel, to the nearest whole pixel, negative ones too: the panel's
    // width, under and over half a pixel, minus one, and under half past it.
    void twipsConvert()
    {
        using twips::toPixels;
        QCOMPARE(QList<int>({toPixels(1295), toPixels(7), toPixels(8), toPixels(-15), toPixels(-22)}), QList<int>({86, 0, 1, -1, -1}));
    }

private:
    test::HostFrame *m_frame = nullptr;
};

PIXDOCK_REGISTER_TEST(TestWindowList)
#include "tst_WindowList.moc"
