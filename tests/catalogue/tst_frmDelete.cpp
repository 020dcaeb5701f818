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

    // Names and folders compare exactly, as the file system compares them: SUNSET.JPG in
    // /Photos is another picture in another file. Each row first removes /a.jpg (the root
    // folder), so No and Cancel must also clear that earlier message; a long name's message
    // wraps and is read whole.
    void removesEveryRowOfThatNameAndFolderOnly_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"sunset.jpg|/photos|a", "SUNSET.JPG|/Photos|b", "SUNSET.JPG|/photos|c",
                              "sunset.jpg|/photos|a2", "sunset.jpg|/photos/old|d", "x|/l|long"};
        const QString longName = "/l/holiday-in-the-mountains-with-the-whole-family-2026-08-14.jpg";
        QTest::newRow("duplicates, not the other case") << "/photos/sunset.jpg" << int(QMessageBox::Yes)
                                                        << QStringList{all[1], all[2], all[4], all[5]};
        QTest::newRow("the other case only") << "/photos/SUNSET.JPG" << int(QMessageBox::Yes)
                                             << QStringList{all[0], all[1], all[3], all[4], all[5]};
        QTest::newRow("a long name") << longName << int(QMessageBox::Yes) << all;
        QTest::newRow("no") << "/photos/sunset.jpg" << int(QMessageBox::No) << all;
        QTest::newRow("cancel") << "/photos/sunset.jpg" << int(QMessageBox::Cancel) << all;
    }
    void removesEveryRowOfThatNameAndFolderOnly()
    {
        QFETCH(QString, current);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        m_host->addRows({{"sunset.jpg", "/photos", "a"},
                         {"SUNSET.JPG", "/Photos", "b"},
                         {"SUNSET.JPG", "/photos", "c"},
                         {"sunset.jpg", "/photos", "a2"},
                         {"sunset.jpg", "/photos/old", "d"},
                         {"a.jpg", "/", "e"},
                         {"x", "/l", "long"}});
        setFrameStatusText(QStringLiteral("/a.jpg"));
        frmDelete *w = test::shownWindow<frmDelete>();
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdContinue_Click();
        QCOMPARE(message(w)->text(), QStringLiteral("a.jpg has been removed from the database.  "));
        MessageBox::clearRecord();

        setFrameStatusText(current);
        MessageBox::queueAnswer(QMessageBox::StandardButton(answer));
        w->cmdContinue_Click();
        const QString name = current.mid(current.lastIndexOf('/') + 1);
        QCOMPARE(MessageBox::shownTexts(), QStringList{"Are you sure you want to remove " + name + " from the database?"});
        QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(m_host->catalogueRows(), left);
        QCOMPARE(message(w)->text(), answer == QMessageBox::Yes ? name + " has been removed from the database.  " : QString());
        QCOMPARE(test::cutOffTexts(w), QStringList());
        QVERIFY(w->rect().contains(QRect(message(w)->mapTo(w, QPoint()), message(w)->size())));
    }

private:
    static QLabel *message(frmDelete *w) { return w->findChild<QLabel *>(QStringLiteral("lblMessage")); }

};

PIXDOCK_REGISTER_TEST(TestFrmDelete)
#include "tst_frmDelete.moc"
