// Cut, Copy and Paste between the clipboard and the focused text field.
#include "CommandWiring.h"
#include "EditCommands.h"
#include "MainWindowUnderTest.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "UserInput.h"
#include "ViewingSetup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace pixdock;

namespace {
// A line edit, an editable combo box, a rich and a plain text editor, each holding
// "hello world" with "world" selected, and a button.
struct Fields
{
    QWidget host;
    QLineEdit *line = new QLineEdit(&host);
    QComboBox *combo = new QComboBox(&host);
    QTextEdit *rich = new QTextEdit(&host);
    QPlainTextEdit *plain = new QPlainTextEdit(&host);
    QPushButton *button = new QPushButton(QStringLiteral("OK"), &host);

    Fields()
    {
        combo->setEditable(true);
        for (QLineEdit *edit : {line, combo->lineEdit()}) {
            edit->setText(QStringLiteral("hello world"));
            edit->setSelection(6, 5);
        }
        rich->setPlainText(QStringLiteral("hello world"));
        plain->setPlainText(QStringLiteral("hello world"));
        selectWorld(rich);
        selectWorld(plain);
    }
    template<class Editor>
    static void selectWorld(Editor *editor)
    {
        QTextCursor c = editor->textCursor();
        c.setPosition(6);
        c.setPosition(11, QTextCursor::KeepAnchor);
        editor->setTextCursor(c);
    }
    QWidget *field(const QString &kind)
    {
        const QMap<QString, QWidget *> fields = {{"line edit", line}, {"combo box", combo}, {"text edit", rich},
                                                 {"text edit viewport", rich->viewport()},
                                                 {"plain text edit", plain}, {"button", button}};
        return fields.value(kind);
    }
    QString text(const QString &kind) const
    {
        if (kind == "line edit")
            return line->text();
        if (kind == "combo box")
            return combo->currentText();
        if (kind.startsWith("text edit"))
            return rich->toPlainText();
        return kind == "plain text edit" ? plain->toPlainText() : QString();
    }
};

QClipboard *clipboard() { return QApplication::clipboard(); }
} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        viewing::installViewerOpeners();
        installCommandHandlers();
    }
    void init()
    {
        test::resetProgramState();
        clipboard()->clear();
    }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        clipboard()->clear();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    // Each command on each kind of field holding "hello world" with "world" selected; a field
    // with nothing selected, a read-only one, and no field at all.
    void commandsActOnTheSelection_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clipboardAfter");
        for (const char *k : {"line edit", "combo box", "text edit", "text edit viewport", "plain text edit"}) {
            const QString kind = QString::fromLatin1(k);
            QTest::addRow("%s, copy", k) << kind << "" << "copy" << "old" << "hello world" << "world";
            QTest::addRow("%s, cut", k) << kind << "" << "cut" << "" << "hello " << "world";
            QTest::addRow("%s, paste", k) << kind << "" << "paste" << "there" << "hello there" << "there";
            QTest::addRow("%s, paste nothing", k) << kind << "" << "paste" << "" << "hello " << "";
        }
        QTest::newRow("nothing selected, copy") << "line edit" << "caret" << "copy" << "old" << "hello world" << "";
        QTest::newRow("nothing selected, paste at the caret")
            << "line edit" << "caret" << "paste" << "," << "hello, world" << ",";
        QTest::newRow("read-only, cut only copies") << "line edit" << "read-only" << "cut" << "" << "hello world"
                                                    << "world";
        QTest::newRow("read-only, paste changes nothing")
            << "line edit" << "read-only" << "paste" << "there" << "hello world" << "there";
        QTest::newRow("a button has the focus") << "button" << "" << "copy" << "old" << "" << "";
        QTest::newRow("nothing has the focus") << "none" << "" << "copy" << "old" << "" << "";
    }
    void commandsActOnTheSelection()
    {
        QFETCH(QString, kind);
        QFETCH(QString, setup);
        QFETCH(QString, command);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, text);
        QFETCH(QString, clipboardAfter);
        Fields fields;
        if (setup == "caret")
            fields.line->setCursorPosition(5);
        fields.line->setReadOnly(setup == "read-only");
        if (clipboardBefore.isEmpty())
            clipboard()->clear();
        else
            clipboard()->setText(clipboardBefore);
        QWidget *field = fields.field(kind);
        if (command == "copy")
            edit::copySelection(field);
        else if (command == "cut")
            edit::cutSelection(field);
        else
            edit::pasteText(field);
        QCOMPARE(fields.text(kind), text);
        QCOMPARE(clipboard()->text(), clipboardAfter);
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
        QFETCH(QString, box);
        QFETCH(int, tabs);
        frmMain *w = m_main.start();
        w->resize(1000, 800);
        QMenuBar *bar = w->menuBar();
        QVERIFY(test::chooseFromMenu(bar, "Images", openWith));
        for (int i = 0; i < tabs; ++i)
            QVERIFY(test::pressKey(Qt::Key_Tab));
        auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(field);
        QCOMPARE(field->objectName(), box);

        QVERIFY(test::typeText("hello world"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(test::pressKey(Qt::Key_Left, Qt::ShiftModifier));
        QVERIFY(test::chooseFromMenu(bar, "Edit", "Cut"));
        QCOMPARE(clipboard()->text(), QStringLiteral("world"));
        QCOMPARE(field->text(), QStringLiteral("hello "));

        // Nothing selected: Paste inserts at the caret.
        QVERIFY(test::pressKey(Qt::Key_Home));
        QVERIFY(test::chooseFromMenu(bar, "Edit", "Paste"));
        QCOMPARE(field->text(), QStringLiteral("worldhello "));

        for (int i = 0; i < 5; ++i)
            QVERIFY(test::pressKey(Qt::Key_Right, Qt::ShiftModifier));
        QVERIFY(test::chooseFromMenu(bar, "Edit", "Copy"));
        QCOMPARE(clipboard()->text(), QStringLiteral("hello"));
        QCOMPARE(field->text(), QStringLiteral("worldhello "));
        QCOMPARE(field->selectedText(), QStringLiteral("hello"));
        QCOMPARE(QApplication::focusWidget(), field);
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestEditCommands)
#include "tst_EditCommands.moc"
