// Help > Contents and Help > Search For Help On against the manual the build made, and what
// happens when the help files are missing or damaged.
#include "DarkTheme.h"
#include "HelpLauncher.h"
#include "Locations.h"
#include "Pictures.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QAccessible>
#include <QHelpIndexWidget>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeView>

using namespace pixdock;

namespace {
// Words drawn in a colour too close to their page's to read: each text fragment's colour (the
// palette's text colour where the page sets none) against its background.
QStringList faintText(QTextBrowser *browser)
{
    const auto lightness = [](const QColor &c) { return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF(); };
    QStringList faint;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QColor ink = format.foreground().style() ? format.foreground().color() : browser->palette().color(QPalette::Text);
            const QColor paper = format.background().style() ? format.background().color() : browser->palette().color(QPalette::Base);
            if (!it.fragment().text().trimmed().isEmpty() && qAbs(lightness(ink) - lightness(paper)) < 0.4)
                faint << QStringLiteral("%1 (%2 on %3)").arg(it.fragment().text().left(30), ink.name(), paper.name());
        }
    return faint;
}
} // namespace

class TestHelpLauncher : public QObject
{
    Q_OBJECT

    static QTabWidget *tabs() { return help::helpWindow()->findChild<QTabWidget *>(QStringLiteral("helpTabs")); }
    static QTextBrowser *page() { return help::helpWindow()->findChild<QTextBrowser *>(QStringLiteral("helpBrowser")); }
    static QLineEdit *filter() { return help::helpWindow()->findChild<QLineEdit *>(QStringLiteral("txtIndexFilter")); }
    static QHelpIndexWidget *index() { return help::helpWindow()->findChild<QHelpIndexWidget *>(); }

private slots:
    void cleanup()
    {
        locations::restoreHelpCollectionFile();
        delete help::helpWindow();
        test::resetProgramState();
    }

    // Contents opens the manual at its contents with the seven topics; Search For Help On opens
    // the index with an empty filter, a keyword leads to its page; both reuse the one window.
    // With a dark desktop theme every word of the manual stands out from its page, and screen
    // readers announce the help as a window of its own, named by its title.
    void contentsAndIndexOpenTheManualInTheThemesColours_data() { test::themeRows(); }
    void contentsAndIndexOpenTheManualInTheThemesColours()
    {
        QFETCH(bool, dark);
        const test::ThemeForTest theme(dark);
        help::showHelpContents();
        QWidget *first = help::helpWindow();
        QVERIFY(first && first->isVisible() && page()->toPlainText().contains(QStringLiteral("Searching the catalogue")));
        QCOMPARE(page()->documentTitle(), QStringLiteral("Pixdock Manual"));
        auto *toc = help::helpWindow()->findChild<QTreeView *>(QStringLiteral("contentsTab"));
        QTRY_COMPARE(toc->model()->rowCount(), 1);
        QCOMPARE(toc->model()->rowCount(toc->model()->index(0, 0)), 7);
        QTRY_VERIFY(toc->isExpanded(toc->model()->index(0, 0)));
        QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(first);
        QVERIFY(seen && seen->role() == QAccessible::Window && seen->text(QAccessible::Name) == first->windowTitle());
        // Only the help window itself: its parts keep their own roles.
        QCOMPARE(QAccessible::queryAccessibleInterface(toc)->role(), QAccessible::Tree);
        for (int round = 0; round < 2; ++round) {
            help::showHelpIndex();
            QCOMPARE(tabs()->currentWidget()->objectName() + '|' + filter()->text(), QStringLiteral("indexTab|"));
            QTRY_VERIFY(index()->model()->rowCount() > 30);
            QTest::keyClicks(filter(), QStringLiteral("thumbn"));
            QTRY_COMPARE(index()->model()->rowCount(), 1);
            QTest::keyClick(filter(), Qt::Key_Return);
            QCOMPARE(page()->source().fileName(), QStringLiteral("thumbnails.html"));
            help::showHelpContents();
            QCOMPARE(help::helpWindow(), first);
            QCOMPARE(tabs()->currentWidget()->objectName() + '|' + page()->source().fileName(), QStringLiteral("contentsTab|contents.html"));
        }
        for (const char *name : {"contents.html", "keyboard.html", "viewing.html", "thumbnails.html"}) {
            page()->setSource(page()->source().resolved(QUrl(QLatin1String(name))));
            QCOMPARE(page()->source().fileName(), QLatin1String(name));
            const QStringList faint = faintText(page());
            QVERIFY2(faint.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(name, faint.join(" | "))));
        }
    }

    void missingOrDamagedHelpFilesRaiseAClearError_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("saying");
        QTest::newRow("no collection configured") << "none" << 53 << "without its help files";
        QTest::newRow("collection missing") << "missing" << 53 << "cannot be found";
        QTest::newRow("collection is a folder") << "folder" << 70 << "cannot be read";
        QTest::newRow("collection is not a help file") << "garbage" << 70 << "cannot be read";
        QTest::newRow("manual beside the collection gone") << "lone" << 70 << "is missing";
    }
    void missingOrDamagedHelpFilesRaiseAClearError()
    {
        QFETCH(QString, setup);
        QFETCH(QString, saying);
        QTemporaryDir dir;
        const QString collection = dir.filePath(QStringLiteral("pixdock.qhc"));
        if (setup == "folder")
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pixdock.qhc")));
        else if (setup == "garbage")
            test::writeBytes(dir.path(), QStringLiteral("pixdock.qhc"), QByteArray(4096, 'x'));
        else if (setup == "lone")
            QVERIFY(QFile::copy(locations::helpCollectionFile(), collection));
        locations::setHelpCollectionFile(setup == "none" ? QString() : collection);
        for (auto open : {&help::showHelpContents, &help::showHelpIndex}) {
            try {
                open();
                QFAIL("the help opened");
            } catch (const RunTimeError &e) {
                QTEST(e.number(), "number");
                QVERIFY2(e.description().contains(saying) && (setup == "none" || e.description().contains(collection)),
                         qPrintable(e.description()));
            }
        }
        QCOMPARE(help::helpWindow(), nullptr);
    }
};

PIXDOCK_REGISTER_TEST(TestHelpLauncher)
#include "tst_HelpLauncher.moc"
