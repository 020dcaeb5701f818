// The open-window list, shared instances, the lone-viewer rule, and twips. The other
// viewer-closing rules are pinned where opening and stepping use them.
#include "ChildWindow.h"
#include "HostFrame.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"
#include "WindowList.h"

#include <QMdiSubWindow>
#include <QTest>

using namespace pixdock;

namespace {
struct CaptionedWindow : ChildWindow {
    static inline int unloads = 0;
    void Form_Unload() override { ++unloads; }
};
struct SharedThing : ChildWindow {
    void Form_Unload() override { forgetSharedWindow<SharedThing>(); }
};
struct FailingLoad : ChildWindow {
    void Form_Load() override { throw RunTimeError(76, QStringLiteral("Path not found")); }
};

CaptionedWindow *openWindow(const QString &text)
{
    auto *w = new CaptionedWindow;
    w->setWindowTitle(text), w->load(), w->showWindow();
    return w;
}
} // namespace

class TestWindowList : public QObject
{
    Q_OBJECT
private slots:
    void init() { test::resetProgramState(), m_frame = new test::HostFrame; }
    void cleanup()
    {
        test::resetProgramState();
        delete m_frame;
        QCOMPARE(WindowList::instance().count(), 0);
    }

    // Windows stand in load order and move up when one leaves; unloading twice runs the
    // window's unload once, and closing its sub-window unloads it too.
    void windowsStandInLoadOrderAndLeaveOnceSharedOnesMadeOnce()
    {
        auto &list = WindowList::instance();
        CaptionedWindow::unloads = 0;
        QPointer<CaptionedWindow> a = openWindow(QStringLiteral("A")), b = openWindow(QStringLiteral("B"));
        QCOMPARE(list.captionAt(2), QStringLiteral("A"));
        a->unload(), a->unload();
        QVERIFY(list.count() == 3 && list.captionAt(2) == "B");
        b->subWindow()->close();
        QCOMPARE(list.count(), 2);
        test::flushDeletes();
        QVERIFY(CaptionedWindow::unloads == 2 && a.isNull() && b.isNull());

        // A shared window is made once and forgotten on unload; one whose load fails is not kept.
        SharedThing *first = sharedWindow<SharedThing>();
        QVERIFY(sharedWindow<SharedThing>() == first && list.count() == 3);
        first->unload();
        QVERIFY(!loadedSharedWindow<SharedThing>());
        QCOMPARE(loadedSharedWindow<SharedThing>(), sharedWindow<SharedThing>());
        // The lone-viewer rule closes only a viewer: the one window at 2 here is none.
        closeLoneViewer();
        QCOMPARE(list.count(), 3);
        QVERIFY_THROWS_EXCEPTION(RunTimeError, sharedWindow<FailingLoad>());
        QVERIFY(!loadedSharedWindow<FailingLoad>() && list.count() == 3);

        // A window loaded with no frame to hold it, as a dialog is, shows and comes forward on its own.
        test::resetProgramState();
        delete std::exchange(m_frame, nullptr);
        QPointer<CaptionedWindow> w = openWindow(QStringLiteral("A"));
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
        QList<int> pixels;
        for (int twips : {1295, 7, 8, -15, -22})
            pixels << twips::toPixels(twips);
        QCOMPARE(pixels, QList<int>({86, 0, 1, -1, -1}));
    }

private:
    test::HostFrame *m_frame = nullptr;
};

PIXDOCK_REGISTER_TEST(TestWindowList)
#include "tst_WindowList.moc"
