// The removal window: the frame caption, the confirmation, removal of every row of the
// picture's name and folder (and of no other folder).
#include "CatalogueTestSupport.h"
#include "CutOffTexts.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpression>

using namespace pixdock;
using test::childOf;
using test::messageOf;

// The picture shown, the answer to the question, and the descriptions of the rows left.
struct Removal { QString current; int answer; QString left; };

class TestFrmDelete : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    // With no picture the frame says so and Continue asks nothing and removes nothing.
    void theFrameNamesThePictureAndOnlyRecordRemovalIsOffered()
    {
        addRows({{"No Image Loaded", "", "x"}});
        frmDelete *w = test::shownWindow<frmDelete>();
        QCOMPARE(childOf<QGroupBox>(w, "frameOptions")->title(), QStringLiteral("Options for No Image Loaded"));
        for (const char *option : {"optDatabase", "optImage", "optBoth"})
            QCOMPARE(childOf<QRadioButton>(w, option)->isEnabled(), option == QLatin1String("optDatabase"));
        QVERIFY(childOf<QRadioButton>(w, "optDatabase")->isChecked() && messageOf(w)->isHidden());
        w->cmdContinue_Click();
        QVERIFY(MessageBox::shown().isEmpty() && catalogueRows().size() == 1);
        w->unload();
        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        QCOMPARE(childOf<QGroupBox>(test::shownWindow<frmDelete>(), "frameOptions")->title(),
                 QStringLiteral("Options for /photos/sunset.jpg"));
    }

    // Names and folders compare exactly, as the file system compares them: SUNSET.JPG in
    // /Photos is another picture in another file. Each row first removes /a.jpg (the root
    // folder), so No and Cancel must also clear that earlier message; a long name's message
    // wraps and is read whole.
    void removesEveryRowOfThatNameAndFolderOnly_data()
    {
        QTest::addColumn<Removal>("removal");
        const QString longName = "/l/holiday-in-the-mountains-with-the-whole-family-2026-08-14.jpg";
        QTest::newRow("duplicates, not the other case") << Removal{"/photos/sunset.jpg", int(QMessageBox::Yes), "b c d long"};
        QTest::newRow("the other case only") << Removal{"/photos/SUNSET.JPG", int(QMessageBox::Yes), "a b a2 d long"};
        QTest::newRow("a long name") << Removal{longName, int(QMessageBox::Yes), "a b c a2 d long"};
        QTest::newRow("no") << Removal{"/photos/sunset.jpg", int(QMessageBox::No), "a b c a2 d long"};
        QTest::newRow("cancel") << Removal{"/photos/sunset.jpg", int(QMessageBox::Cancel), "a b c a2 d long"};
    }
    void removesEveryRowOfThatNameAndFolderOnly()
    {
        QFETCH(Removal, removal);
        const auto &[current, answer, left] = removal;
        const QStringList all{"sunset.jpg|/photos|a", "SUNSET.JPG|/Photos|b", "SUNSET.JPG|/photos|c",
                              "sunset.jpg|/photos|a2", "sunset.jpg|/photos/old|d", "a.jpg|/|e", "x|/l|long"};
        for (const QString &row : all)
            addRows({row.split('|')});
        setFrameStatusText(QStringLiteral("/a.jpg"));
        frmDelete *w = test::shownWindow<frmDelete>();
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdContinue_Click();
        QCOMPARE(messageOf(w)->text(), QStringLiteral("a.jpg has been removed from the database.  "));
        MessageBox::clearRecord();

        setFrameStatusText(current);
        MessageBox::queueAnswer(QMessageBox::StandardButton(answer));
        w->cmdContinue_Click();
        const QString name = current.mid(current.lastIndexOf('/') + 1);
        QCOMPARE(MessageBox::shownTexts(), QStringList{"Are you sure you want to remove " + name + " from the database?"});
        QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QStringList leftRows;
        for (const QString &description : left.split(' '))
            leftRows << all.filter(QRegularExpression("\\|" + description + "$"));
        QCOMPARE(catalogueRows(), leftRows);
        QCOMPARE(messageOf(w)->text(), answer == QMessageBox::Yes ? name + " has been removed from the database.  " : QString());
        QCOMPARE(test::cutOffTexts(w), QStringList());
        QVERIFY(w->rect().contains(QRect(messageOf(w)->mapTo(w, QPoint()), messageOf(w)->size())));
    }
};

PIXDOCK_REGISTER_TEST(TestFrmDelete)
#include "tst_frmDelete.moc"
