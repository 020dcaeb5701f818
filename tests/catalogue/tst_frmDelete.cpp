// The removal window: the frame caption, the confirmation, removal of every row of the
// picture's name and folder (and of no other folder).
#include "CatalogueWindowHost.h"
#include "CutOffTexts.h"
#include "Frame.h"
#include "MessageBox.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmDelete.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace pixdock;

class TestFrmDelete : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:

    // With no picture the frame says so and Continue asks nothing and removes nothing.
    void theFrameNamesThePictureAndOnlyRecordRemovalIsOffered()
    {
        m_host->addRows({{"No Image Loaded", "", "x"}});
        frmDelete *w = test::shownWindow<frmDelete>();
        QCOMPARE(w->findChild<QGroupBox *>("frameOptions")->title(), QStringLiteral("Options for No Image Loaded"));
        for (const char *option : {"optDatabase", "optImage", "optBoth"})
            QCOMPARE(w->findChild<QRadioButton *>(option)->isEnabled(), option == QLatin1String("optDatabase"));
        QVERIFY(w->findChild<QRadioButton *>("optDatabase")->isChecked());
        QVERIFY(message(w)->isHidden());
        w->cmdContinue_Click();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(m_host->catalogueRows().size(), 1);
        w->unload();

        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        QCOMPARE(test::shownWindow<frmDelete>()->findChild<QGroupBox *>("frameOptions")->title(),
                 QStringLiteral("Options for /photos/sunset.jpg"));
    }

    void yesRemovesEveryRowOfThatNameAndFolderOnly_data()
    {
        // Names and folders compare exactly, as the file system compares them: SUNSET.JPG in
        // /Photos is another picture in another file.
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("duplicates, not the other case")
            << "/photos/sunset.jpg"
            << QStringList{"SUNSET.JPG|/Photos|b", "SUNSET.JPG|/photos|c", "sunset.jpg|/photos/old|d", "a.jpg|/|e"};
        QTest::newRow("the other case only")
            << "/photos/SUNSET.JPG"
            << QStringList{"sunset.jpg|/photos|a", "SUNSET.JPG|/Photos|b", "sunset.jpg|/photos|a2",
                           "sunset.jpg|/photos/old|d", "a.jpg|/|e"};
        QTest::newRow("root folder") << "/a.jpg"
                                     << QStringList{"sunset.jpg|/photos|a", "SUNSET.JPG|/Photos|b",
                                                    "SUNSET.JPG|/photos|c", "sunset.jpg|/photos|a2",
                                                    "sunset.jpg|/photos/old|d"};
    }
    void yesRemovesEveryRowOfThatNameAndFolderOnly()
    {
        QFETCH(QString, current);
        QFETCH(QStringList, left);
        m_host->addRows({{"sunset.jpg", "/photos", "a"},
                         {"SUNSET.JPG", "/Photos", "b"},
                         {"SUNSET.JPG", "/photos", "c"},
                         {"sunset.jpg", "/photos", "a2"},
                         {"sunset.jpg", "/photos/old", "d"},
                         {"a.jpg", "/", "e"}});
        setFrameStatusText(current);
        frmDelete *w = test::shownWindow<frmDelete>();
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdContinue_Click();

        const QString name = current.mid(current.lastIndexOf('/') + 1);
        QCOMPARE(MessageBox::shownTexts(), QStringList{"Are you sure you want to remove " + name + " from the database?"});
        QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(m_host->catalogueRows(), left);
        QCOMPARE(message(w)->text(), name + " has been removed from the database.  ");
        QVERIFY(message(w)->isVisible());
    }

    // The second removal reports again; a long name's message wraps and is read whole.
    void removingAgainReportsAgain()
    {
        const QString name = QStringLiteral("holiday-in-the-mountains-with-the-whole-family-2026-08-14.jpg");
        setFrameStatusText(QStringLiteral("/photos/") + name);
        frmDelete *w = test::shownWindow<frmDelete>();
        MessageBox::queueAnswer(QMessageBox::Yes);
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdContinue_Click();
        message(w)->clear();
        w->cmdContinue_Click();
        QCOMPARE(message(w)->text(), name + QStringLiteral(" has been removed from the database.  "));
        QCOMPARE(test::cutOffTexts(w), QStringList());
        QVERIFY(w->rect().contains(QRect(message(w)->mapTo(w, QPoint()), message(w)->size())));
    }

    void noOrCancelKeepsTheRowsAndClearsAnEarlierMessage_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << int(QMessageBox::No);
        QTest::newRow("cancel") << int(QMessageBox::Cancel);
    }
    void noOrCancelKeepsTheRowsAndClearsAnEarlierMessage()
    {
        QFETCH(int, answer);
        m_host->addRows({{"sunset.jpg", "/photos", "a"}, {"b.jpg", "/photos", "b"}});
        setFrameStatusText(QStringLiteral("/photos/b.jpg"));
        frmDelete *w = test::shownWindow<frmDelete>();
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdContinue_Click();
        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        MessageBox::queueAnswer(QMessageBox::StandardButton(answer));
        w->cmdContinue_Click();
        QCOMPARE(m_host->catalogueRows(), QStringList{"sunset.jpg|/photos|a"});
        QCOMPARE(message(w)->text(), QString());
    }

private:
    static QLabel *message(frmDelete *w) { return w->findChild<QLabel *>(QStringLiteral("lblMessage")); }

};

PIXDOCK_REGISTER_TEST(TestFrmDelete)
#include "tst_frmDelete.moc"
