// The about box: its texts, starting the system-information program through the registry
// stand-in, and closing it.
#include "AboutBox.h"
#include "CutOffTexts.h"
#include "HostFrame.h"
#include "Locations.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "RegistryStandIn.h"
#include "SysInfoLookup.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pixdock;

class TestAboutBox : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    const QByteArray m_path = qgetenv("PATH");

    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Writes a file in the test's folder, and the registry stand-in names it.
    void write(const QString &name, const QString &text, bool program = false)
    {
        test::writeBytes(m_dir->path(), name, text.toUtf8());
        QVERIFY(!program || QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        locations::setRegistryFile(path("registry.ini"));
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        qputenv("PATH", m_path);
        locations::setRegistryFile(QString());
        test::resetProgramState();
    }

    // Reading one value of the stand-in: names in any letter case, whole keys only, quoted and
    // number values, the first of two, and a value too large for the buffer.
    void readsOneValue_data()
    {
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text"); // empty: nothing is read
        const QString msinfo = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/opt/sys info\n");
        const quint32 hklm = registry::HKEY_LOCAL_MACHINE;
        QTest::newRow("names in other letter case") << msinfo << hklm << "software\\microsoft\\shared tools\\msinfo" << "/opt/sys info";
        QTest::newRow("a key that only begins the same") << msinfo << hklm << "SOFTWARE\\Microsoft\\Shared Tools" << "";
        QTest::newRow("another root") << msinfo << quint32(0x80000001u) << about::SysInfoKey << "";
        QTest::newRow("quoted text keeps its blanks") << "[K]\nPATH = \"  padded  \"\n" << hklm << "K" << "  padded  ";
        QTest::newRow("number value as decimal") << "[K]\n; a number\nPATH=dword:0000001a\n" << hklm << "K" << "26";
        QTest::newRow("a value ending in a bracket is no key") << "[K]\nPATH=list[1]\n" << hklm << "K" << "list[1]";
        QTest::newRow("first of two") << "[K]\nPATH=one\nPATH=two\n" << hklm << "K" << "one";
        QTest::newRow("no stand-in file") << "" << hklm << about::SysInfoKey << "";
        QTest::newRow("value too large for the buffer") << "[K]\nPATH=" + QString(1025, 'x') + "\n" << hklm << "K" << "";
    }
    void readsOneValue()
    {
        QFETCH(QString, standIn);
        QFETCH(quint32, root);
        QFETCH(QString, key);
        write(standIn.isEmpty() ? "other.ini" : "registry.ini", standIn);
        QFETCH(QString, text);
        QString result = QStringLiteral("left over");
        QCOMPARE(about::GetKeyValue(root, key, "path", result), !text.isEmpty());
        QCOMPARE(result, text);
    }

    // System Info starts the program the stand-in names (shell scripts that leave a marker file),
    // else a common one on the PATH, else says it is unavailable; the box stays open either way.
    void systemInfo_data()
    {
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<bool>("commonProgramOnPath");
        QTest::addColumn<bool>("started");
        const QString first = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=%1\n");
        const QString second = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%1\n");
        QTest::newRow("first value names the program") << first.arg("%PROGRAM%") << false << true;
        QTest::newRow("first value names a missing file, second is never asked")
            << first.arg("%FOLDER%/gone") + second.arg("%FOLDER%") << true << false;
        QTest::newRow("second value's folder holds msinfo32") << second.arg("%FOLDER%") << false << true;
        QTest::newRow("second value's folder lacks msinfo32") << second.arg("%EMPTY%") << true << false;
        QTest::newRow("first value fills the whole buffer") << first.arg(QString(1024, 'x')) + second.arg("%FOLDER%") << true << false;
        QTest::newRow("nothing named, a common program on the PATH") << "; empty\n" << true << true;
        QTest::newRow("nothing named, nothing on the PATH") << "; empty\n" << false << false;
    }
    void systemInfo()
    {
        QFETCH(QString, standIn);
        QFETCH(bool, commonProgramOnPath);
        QFETCH(bool, started);
        const QString program = QStringLiteral("#!/bin/sh\necho started > '%1'\n").arg(path("started.txt"));
        for (const char *folder : {"folder", "empty", "bin"})
            QVERIFY(QDir(m_dir->path()).mkdir(QLatin1String(folder)));
        for (const char *name : {"tool.sh", "folder/msinfo32", "bin/hardinfo"})
            if (commonProgramOnPath || name != QLatin1String("bin/hardinfo"))
                write(name, program, true);
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))));
        write("registry.ini", standIn.replace("%PROGRAM%", path("tool.sh")).replace("%FOLDER%", path("folder"))
                                  .replace("%EMPTY%", path("empty")));
        auto *box = sharedWindow<frmAbout>();
        auto *sysInfo = box->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));
        // Enter on the focused button, as a keyboard user presses it.
        box->show();
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        sysInfo->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), sysInfo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(QFile::exists(path("started.txt")), started);
        QCOMPARE(MessageBox::shownTexts(), started ? QStringList() : QStringList{"System Information Is Unavailable At This Time"});
        for (const MessageBox::Shown &shown : MessageBox::shown())
            QVERIFY(shown.title == "Pixdock" && shown.buttons == QMessageBox::Ok && shown.icon == MessageBox::Icon::None);
        QCOMPARE(loadedSharedWindow<frmAbout>(), box);
    }

    // The modal box the frame owns: title, version, credits and the warning, every text whole
    // and none under another control; Enter and Esc close it, and it goes.
    void theModalBoxShowsItsTextsAndEnterOrEscClosesIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void theModalBoxShowsItsTextsAndEnterOrEscClosesIt()
    {
        QFETCH(int, key);
        test::HostFrame frame;
        QPointer<frmAbout> seen;
        QTimer::singleShot(0, this, [&] {
            seen = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            if (!seen || seen->parentWidget() != &frame || !QTest::qWaitForWindowExposed(seen))
                return;
            const auto text = [&seen](const char *label) { return seen->findChild<QLabel *>(label)->text(); };
            QCOMPARE(QStringList({seen->windowTitle(), text("lblTitle"), text("lblVersion")}),
                     QStringList({"About Pixdock", "Pixdock", "Version 1.0.0"}));
            QVERIFY(text("lblDescription").split('\n').size() == 3 && text("lblDisclaimer").startsWith("Warning: "));
            const QStringList cut = test::cutOffTexts(seen);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
            const QRect warning = seen->findChild<QLabel *>("lblDisclaimer")->geometry();
            QVERIFY(seen->rect().contains(warning));
            for (const QPushButton *button : seen->findChildren<QPushButton *>())
                QVERIFY2(!warning.intersects(button->geometry()), qPrintable(button->text()));
            QTest::keyClick(seen, Qt::Key(key));
        });
        // A box that does not close, or that the frame does not own, is closed here and fails.
        bool closedHere = false;
        QTimer::singleShot(10000, this, [&] {
            if (auto *box = qobject_cast<frmAbout *>(QApplication::activeModalWidget())) {
                closedHere = true;
                box->reject();
            }
        });
        about::showAboutBox(&frame);
        QVERIFY(!closedHere && !loadedSharedWindow<frmAbout>());
        test::flushDeletes();
        QVERIFY(seen.isNull() && WindowList::instance().count() == 2);
    }
};

PIXDOCK_REGISTER_TEST(TestAboutBox)
#include "tst_frmAbout.moc"
