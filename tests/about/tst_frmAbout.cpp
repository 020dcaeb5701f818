// The about box: its texts, starting the system-information program, and closing it.
#include "AboutBox.h"
#include "CutOffTexts.h"
#include "HostFrame.h"
#include "Locations.h"
#include "MessageBox.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmAbout.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pixdock;

namespace {

// A shell script standing in for a system-information program: it leaves a marker file.
void writeProgram(const QString &path, const QString &marker)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write a test program");
    file.write(QStringLiteral("#!/bin/sh\necho started > '%1'\n").arg(marker).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_path;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = qgetenv("PATH");
    }

    void cleanup()
    {
        qputenv("PATH", m_path);
        locations::setRegistryFile(QString());
        test::resetProgramState();
        m_dir.reset();
    }

    void loadFillsTitleVersionAndCredits()
    {
        auto *box = sharedWindow<frmAbout>();
        QCOMPARE(box->windowTitle(), QStringLiteral("About Pixdock"));
        QCOMPARE(box->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Pixdock"));
        QCOMPARE(box->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.0"));
        QCOMPARE(box->findChild<QLabel *>(QStringLiteral("lblDescription"))->text().split('\n').size(), 3);
        QVERIFY(box->findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text().startsWith("Warning: "));
    }

    void everyTextShowsWhole()
    {
        auto *box = sharedWindow<frmAbout>();
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        const QStringList cut = test::cutOffTexts(box);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    }

    void systemInfo_data()
    {
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<bool>("commonProgramOnPath");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("byEnter"); // Enter on the focused button instead of a click
        const QString first = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=%1\n");
        const QString second = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%1\n");
        QTest::newRow("first value names the program") << first.arg("%PROGRAM%") << false << true << false;
        QTest::newRow("Enter on the focused button") << first.arg("%PROGRAM%") << false << true << true;
        QTest::newRow("first value names a missing file, second is never asked")
            << first.arg("%FOLDER%/gone") + second.arg("%FOLDER%") << true << false << false;
        QTest::newRow("second value's folder holds msinfo32") << second.arg("%FOLDER%") << false << true << false;
        QTest::newRow("second value's folder lacks msinfo32") << second.arg("%EMPTY%") << true << false << false;
        QTest::newRow("first value fills the whole buffer")
            << first.arg(QString(1024, 'x')) + second.arg("%FOLDER%") << true << false << false;
        QTest::newRow("nothing named, a common program on the PATH") << "; empty\n" << true << true << false;
        QTest::newRow("nothing named, nothing on the PATH") << "; empty\n" << false << false << false;
    }
    void systemInfo()
    {
        QFETCH(QString, standIn);
        QFETCH(bool, commonProgramOnPath);
        QFETCH(bool, started);
        QFETCH(bool, byEnter);
        const QString marker = path(QStringLiteral("started.txt"));
        for (const char *folder : {"folder", "empty", "bin"})
            QVERIFY(QDir(m_dir->path()).mkdir(QLatin1String(folder)));
        writeProgram(path(QStringLiteral("tool.sh")), marker);
        writeProgram(path(QStringLiteral("folder/msinfo32")), marker);
        if (commonProgramOnPath)
            writeProgram(path(QStringLiteral("bin/hardinfo")), marker);
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))));

        standIn.replace(QLatin1String("%PROGRAM%"), path(QStringLiteral("tool.sh")))
            .replace(QLatin1String("%FOLDER%"), path(QStringLiteral("folder")))
            .replace(QLatin1String("%EMPTY%"), path(QStringLiteral("empty")));
        QFile file(path(QStringLiteral("registry.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(standIn.toUtf8());
        file.close();
        locations::setRegistryFile(file.fileName());

        auto *box = sharedWindow<frmAbout>();
        auto *sysInfo = box->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));
        if (byEnter) {
            box->show();
            box->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(box));
            sysInfo->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), sysInfo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            sysInfo->click();
        }
        if (started) {
            QTRY_VERIFY(QFile::exists(marker));
            QCOMPARE(MessageBox::shownTexts(), QStringList());
        } else {
            QCOMPARE(MessageBox::shown().size(), 1);
            const MessageBox::Shown &shown = MessageBox::shown().first();
            QCOMPARE(shown.text, QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(shown.title, QStringLiteral("Pixdock"));
            QCOMPARE(shown.buttons, MessageBox::Buttons(QMessageBox::Ok));
            QCOMPARE(shown.icon, MessageBox::Icon::None);
            QVERIFY(!QFile::exists(marker));
        }
        // The box stays open either way.
        QCOMPARE(loadedSharedWindow<frmAbout>(), box);
    }

    void enterAndEscCloseTheModalBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void enterAndEscCloseTheModalBox()
    {
        QFETCH(int, key);
        test::HostFrame frame;
        QPointer<frmAbout> seen;
        bool ownedByFrame = false;
        bool closedBySafetyNet = false;
        QTimer::singleShot(0, this, [&] {
            seen = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            if (!seen)
                return;
            ownedByFrame = seen->parentWidget() == &frame;
            QTest::keyClick(seen, Qt::Key(key));
        });
        QTimer::singleShot(10000, this, [&] {
            if (auto *box = qobject_cast<frmAbout *>(QApplication::activeModalWidget())) {
                closedBySafetyNet = true;
                box->reject();
            }
        });
        about::showAboutBox(&frame);
        QVERIFY(!closedBySafetyNet);
        QVERIFY(ownedByFrame);
        QCOMPARE(loadedSharedWindow<frmAbout>(), nullptr);
        test::flushDeletes();
        QVERIFY(seen.isNull());
        QCOMPARE(WindowList::instance().count(), 2);
    }
};

PIXDOCK_REGISTER_TEST(TestAboutBox)
#include "tst_frmAbout.moc"
