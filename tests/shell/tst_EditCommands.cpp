// Cut, Copy and Paste between the clipboard and the focused text field.
#include "EditCommands.h"
#include "MainWindowUnderTest.h"
#include "UserInput.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

using namespace pixdock;

class TestEditCommands : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        qApp->clipboard()->clear();
        MainWindowTest::cleanup();
    }

    // Each command on each kind of field holding "hello world" with "world" selected; a field
    // with nothing selected, a read-only one, and no field at all.
    void commandsActOnTheSelection_data()
    {
        QTest::addColumn<QString>("kind"); // of field, and ", caret" (nothing selected) or ", read-only"
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clipboardAfter");
        for (const char *k : {"line edit", "combo box", "text edit viewport", "plain text edit"}) {
            QTest::addRow("%s, copy", k) << QString(k) << "copy" << "old" << "hello world" << "world";
            QTest::addRow("%s, cut", k) << QString(k) << "cut" << "" << "hello " << "world";
            QTest::addRow("%s, paste", k) << QString(k) << "paste" << "there" << "hello there" << "there";
            QTest::addRow("%s, paste nothing", k) << QString(k) << "paste" << "" << "hello " << "";
        }
        QTest::newRow("nothing selected, copy") << "line edit, caret" << "copy" << "old" << "hello world" << "";
        QTest::newRow("nothing selected, paste at the caret") << "line edit, caret" << "paste" << "," << "hello, world" << ",";
        QTest::newRow("read-only, cut only copies") << "line edit, read-only" << "cut" << "" << "hello world" << "world";
        QTest::newRow("read-only, paste changes nothing") << "line edit, read-only" << "paste" << "there" << "hello world" << "there";
        QTest::newRow("a button has the focus") << "button" << "copy" << "old" << "" << "";
        QTest::newRow("nothing has the focus") << "none" << "copy" << "old" << "" << "";
    }
    void commandsActOnTheSelection()
    {
        QFETCH(QString, kind);
        QFETCH(QString, command);
        QFETCH(QString, clipboardBefore);
        QWidget host;
        auto *combo = kind == "combo box" ? new QComboBox(&host) : nullptr;
        if (combo)
            combo->setEditable(true);
        QWidget *field = combo ? combo->lineEdit() : kind == "plain text edit" ? new QPlainTextEdit(&host)
                         : kind.startsWith("text edit") ? new QTextEdit(&host)
                         : kind == "button" ? static_cast<QWidget *>(new QPushButton(&host)) : new QLineEdit(&host);
        // "hello world" typed, then "world" selected with Shift+Left, or the caret put after "hello".
        QTest::keyClicks(field, QStringLiteral("hello world"));
        const bool caret = kind.endsWith("caret");
        for (int i = 0; i < (caret ? 6 : 5); ++i)
            QTest::keyClick(field, Qt::Key_Left, caret ? Qt::NoModifier : Qt::ShiftModifier);
        field->setProperty("readOnly", kind.endsWith("read-only"));
        QWidget *target = kind == "none" ? nullptr : combo ? combo
                          : kind.endsWith("viewport") ? static_cast<QTextEdit *>(field)->viewport() : field;
        clipboardBefore.isEmpty() ? qApp->clipboard()->clear() : qApp->clipboard()->setText(clipboardBefore);
        command == "copy" ? edit::copySelection(target) : command == "cut" ? edit::cutSelection(target) : edit::pasteText(target);
        const char *text = qobject_cast<QLineEdit *>(field) ? "text" : "plainText";
        QTEST(kind == "button" || kind == "none" ? QString() : field->property(text).toString(), "text");
        QTEST(qApp->clipboard()->text(), "clipboardAfter");
    }

    // Chosen from the menu bar with the mouse: the menu takes the focus from the box for a
    // moment, and the command still works on what was selected when the menu opened.
    void theEditMenuWorksOnTheSelectionItOpenedOn_data()
    {
        QTest::addColumn<QString>("openWith");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("tabs");
        QTest::newRow("add window, description") << "Add To Database" << "txtDescription" << 0;
        QTest::newRow("add window, file name") << "Add To Database" << "txtFilename" << 1;
        QTest::newRow("search window, keywords") << "Search" << "txtKeywords" << 0;
    }
    void theEditMenuWorksOnTheSelectionItOpenedOn()
    {
        QFETCH(QString, openWith);
        QFETCH(int, tabs);
        main()->resize(1000, 800);
        QMenuBar *bar = main()->menuBar();
        QVERIFY(test::chooseFromMenu(bar, "Images", openWith));
        for (int i = 0; i < tabs; ++i)
            QVERIFY(test::pressKey(Qt::Key_Tab));
        auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(field);
        QTEST(field->objectName(), "box");

        // Each step: keys pressed (Left or Right with Shift selects), the Edit item chosen, then
        // the clipboard, the text and the selection.
        const QList<std::tuple<Qt::Key, int, const char *, const char *, const char *, const char *>> steps = {
            {Qt::Key_Left, 5, "Cut", "world", "hello ", ""},
            {Qt::Key_Home, 1, "Paste", "world", "worldhello ", ""}, // nothing selected: at the caret
            {Qt::Key_Right, 5, "Copy", "hello", "worldhello ", "hello"}};
        QVERIFY(test::typeText("hello world"));
        for (const auto &[key, times, item, copied, text, selected] : steps) {
            for (int i = 0; i < times; ++i)
                QVERIFY(test::pressKey(key, key == Qt::Key_Home ? Qt::NoModifier : Qt::ShiftModifier));
            QVERIFY(test::chooseFromMenu(bar, "Edit", item));
            QCOMPARE(QStringList({qApp->clipboard()->text(), field->text(), field->selectedText()}), QStringList({copied, text, selected}));
        }
        QCOMPARE(QApplication::focusWidget(), field);
    }
};

PIXDOCK_REGISTER_TEST(TestEditCommands)
#include "tst_EditCommands.moc"
