// The add window: boxes filled from the current picture, "None" for an empty description,
// the duplicate question and its three answers, and the Enter key flow.
#include "CatalogueTextBoxes.h"
#include "CatalogueTestSupport.h"


using namespace pixdock;
using test::childOf;
using test::messageOf;

namespace {
const QString Hint = QStringLiteral("Enter a description to be used for the search feature.");
QLineEdit *box(frmAdd *w, const char *name) { return childOf<QLineEdit>(w, name); }
// A name catalogued, the name of the picture saved, the answer to the question (-1: no question)
// and the rows then.
struct Save { QString stored, saved; int answer; int rowsAfter; };
} // namespace

class TestFrmAdd : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    // The boxes open with the current picture's name and folder, and the row holds them as the
    // user left them, an empty description as "None"; saving the same picture again asks first.
    void thePictureIsSplitAndSavedAsEdited_data()
    {
        QTest::addColumn<QString>("status");
        // name|folder|description, the description as typed; a name other than the picture's was
        // typed by the user, with the folder
        QTest::addColumn<QString>("stored");
        QTest::newRow("no picture yet") << "No Image Loaded" << "||";
        QTest::newRow("in a folder") << "/photos/sunset.jpg" << "sunset.jpg|/photos|None";
        QTest::newRow("in the root") << "/a.jpg" << "a.jpg|/|None";
        QTest::newRow("odd characters") << "/home/o'brien/100% été_1.jpg" << "100% été_1.jpg|/home/o'brien|Pat's 50% beach_day";
        QTest::newRow("edited, quotes") << "/photos/sunset.jpg" << "O'Brien; --.jpg||None";
    }
    void thePictureIsSplitAndSavedAsEdited()
    {
        QFETCH(QString, status);
        QFETCH(QString, stored);
        const QStringList parts = stored.split('|'); // name, folder, description
        const bool edited = !status.endsWith('/' + parts[0]) && !parts[0].isEmpty();
        setFrameStatusText(status);
        frmAdd *w = test::shownWindow<frmAdd>();
        QCOMPARE(box(w, "txtDescription")->text(), QString());
        QCOMPARE(messageOf(w)->text(), Hint);
        if (!edited)
            QCOMPARE(box(w, "txtFilename")->text() + '|' + box(w, "txtLocation")->text(), parts[0] + '|' + parts[1]);
        if (parts[0].isEmpty())
            return;
        box(w, "txtFilename")->setText(parts[0]);
        box(w, "txtLocation")->setText(parts[1]);
        box(w, "txtDescription")->setText(parts[2] == "None" ? QString() : parts[2]);
        w->cmdAdd_Click();
        QCOMPARE(catalogueRows(), QStringList{stored});
        QCOMPARE(messageOf(w)->text(), parts[0] + " has been added to the database.");
        QVERIFY(messageOf(w)->isVisible() && MessageBox::shown().isEmpty());
        MessageBox::queueAnswer(QMessageBox::Yes);
        w->cmdAdd_Click();
        QCOMPARE(catalogueRows(), (QStringList{stored, stored}));
    }

    void aCataloguedFileNameAsksFirst_data()
    {
        QTest::addColumn<Save>("save");
        const auto yes = int(QMessageBox::Yes), no = int(QMessageBox::No), cancel = int(QMessageBox::Cancel);
        QTest::newRow("cancel changes nothing") << Save{"sunset.jpg", "sunset.jpg", cancel, 1};
        QTest::newRow("no") << Save{"sunset.jpg", "sunset.jpg", no, 1};
        QTest::newRow("yes adds a second row") << Save{"sunset.jpg", "sunset.jpg", yes, 2};
        QTest::newRow("other case") << Save{"sunset.jpg", "SUNSET.JPG", yes, 2};
        QTest::newRow("Greek other case") << Save{"σίσυφος.png", "ΣΊΣΥΦΟΣ.PNG", no, 1};
        QTest::newRow("other case outside the BMP") << Save{"𐐨.jpg", "𐐀.jpg", no, 1};
        QTest::newRow("capital sharp s") << Save{"straße.jpg", "STRAẞE.JPG", no, 1};
        QTest::newRow("sharp s is not ss") << Save{"straße.jpg", "STRASSE.JPG", -1, 2};
        QTest::newRow("an accent makes another name") << Save{"ete.jpg", "été.jpg", -1, 2};
        QTest::newRow("a longer name is another name") << Save{"a.jpg", "a.jpgx", -1, 2};
        QTest::newRow("a new name is not asked about") << Save{"sunset.jpg", "sunrise.jpg", -1, 2};
        QTest::newRow("wildcards are no wildcards") << Save{"sunset.jpg", "sun%.jpg", -1, 2};
    }
    void aCataloguedFileNameAsksFirst()
    {
        QFETCH(Save, save);
        // Catalogued in another folder: the question is about the file name only.
        addRows({{save.stored, "/elsewhere", "old"}});
        setFrameStatusText("/photos/" + save.saved);
        frmAdd *w = test::shownWindow<frmAdd>();
        if (save.answer >= 0)
            MessageBox::queueAnswer(QMessageBox::StandardButton(save.answer));
        w->cmdAdd_Click();
        QCOMPARE(MessageBox::shownTexts(), save.answer < 0 ? QStringList()
                                                           : QStringList{"Image name already in database.\r\nDo you want to continue?"});
        if (save.answer >= 0)
            QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(catalogueRows().size(), save.rowsAfter);
        QCOMPARE(messageOf(w)->text(), save.answer == int(QMessageBox::Cancel) ? Hint
                                       : save.saved + (save.rowsAfter == 2 ? " has been" : " has not been") + " added to the database.");
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Every key goes where the keyboard sends it; the fourth Enter presses the focused Exit,
    // which closes the window; the next opening loads afresh from the picture now shown.
    void enterMovesThroughTheBoxesThenSavesAndTheNextEnterPressesExit()
    {
        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        QPointer<frmAdd> w = test::shownWindow<frmAdd>();
        QLineEdit *name = box(w, "txtFilename"), *folder = box(w, "txtLocation"), *description = box(w, "txtDescription");
        // The focused box, and only it, in the focus colour.
        const auto focusIn = [&](QWidget *focused) {
            QTRY_COMPARE(QApplication::focusWidget(), focused);
            for (QLineEdit *b : {name, folder, description})
                QCOMPARE(b->palette().color(QPalette::Base),
                         b == focused ? catalogue::FocusedBoxColour : catalogue::UnfocusedBoxColour);
        };
        focusIn(description);
        test::clickOn(name);
        focusIn(name);
        QVERIFY(test::pressKey(Qt::Key_Return));
        focusIn(folder);
        QCOMPARE(folder->selectedText(), QStringLiteral("/photos"));
        QVERIFY(test::pressKey(Qt::Key_Enter, Qt::KeypadModifier));
        focusIn(description);
        QVERIFY(test::typeText(QStringLiteral("beach")));
        QVERIFY(test::pressKey(Qt::Key_Return));
        focusIn(childOf<QPushButton>(w, "cmdExit"));
        QCOMPARE(catalogueRows(), QStringList{"sunset.jpg|/photos|beach"});
        QVERIFY(test::pressKey(Qt::Key_Enter, Qt::KeypadModifier));
        test::flushDeletes();
        QVERIFY(w.isNull() && !loadedSharedWindow<frmAdd>());
        setFrameStatusText(QStringLiteral("/other/next.jpg"));
        QCOMPARE(box(test::shownWindow<frmAdd>(), "txtFilename")->text(), QStringLiteral("next.jpg"));
    }
};

PIXDOCK_REGISTER_TEST(TestFrmAdd)
#include "tst_frmAdd.moc"
