// The add window.
#include "frmAdd.h"

#include "CataloguePaths.h"
#include "CatalogueService.h"
#include "CatalogueTextBoxes.h"
#include "Frame.h"
#include "MessageBox.h"
#include "PlaceControl.h"
#include "RunTimeError.h"
#include "TextFit.h"
#include "Twips.h"
#include "WaitCursor.h"
#include "WindowList.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

namespace pixdock {

frmAdd::frmAdd()
{
    setObjectName(QStringLiteral("frmAdd"));
    setWindowTitle(QStringLiteral("Add To Database"));

    lblFile = placeControl<QLabel>(this, "lblFile", 720, 480, 855, 255);
    lblFile->setText(QStringLiteral("Filename:"));
    txtFilename = placeControl<QLineEdit>(this, "txtFilename", 1680, 480, 3735, 375);
    lblLocation = placeControl<QLabel>(this, "lblLocation", 720, 1320, 975, 255);
    lblLocation->setText(QStringLiteral("Location:"));
    txtLocation = placeControl<QLineEdit>(this, "txtLocation", 1680, 1320, 3615, 375);
    lblDescription = placeControl<QLabel>(this, "lblDescription", 720, 2160, 975, 255);
    lblDescription->setText(QStringLiteral("Description:"));
    txtDescription = placeControl<QLineEdit>(this, "txtDescription", 1800, 2160, 5775, 375);
    lblMessage = placeControl<QLabel>(this, "lblMessage", 2640, 2760, 3015, 495);
    lblMessage->setText(QStringLiteral("Enter a description to be used for the search feature."));
    lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblMessage->setWordWrap(true);
    cmdAdd = placeControl<QPushButton>(this, "cmdAdd", 2640, 3720, 1335, 495);
    cmdAdd->setText(QStringLiteral("Save"));
    cmdExit = placeControl<QPushButton>(this, "cmdExit", 4440, 3720, 1215, 495);
    cmdExit->setText(QStringLiteral("Exit"));

    setTabOrder(txtDescription, txtFilename);
    setTabOrder(txtFilename, txtLocation);
    setTabOrder(txtLocation, cmdAdd);
    setTabOrder(cmdAdd, cmdExit);

    for (QLineEdit *box : {txtFilename, txtLocation, txtDescription}) {
        catalogue::followFocusColours(box);
        box->installEventFilter(this);
    }
    connect(cmdAdd, &QPushButton::clicked, this, &frmAdd::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAdd::cmdExit_Click);
}

void frmAdd::Form_Load()
{
    setClientSizeTwips(8430, 4335);
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    setHeightTwips(panelHeightTwips());

    const QString current = frameStatusText();
    if (current != NoImageLoaded) {
        const catalogue::PicturePath split = catalogue::splitPicturePath(current);
        txtFilename->setText(split.fileName);
        txtLocation->setText(split.folder);
    }
    txtDescription->setFocus();
}

void frmAdd::Form_Unload()
{
    if (loadedSharedWindow<frmAdd>() == this)
        forgetSharedWindow<frmAdd>();
}

bool frmAdd::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == txtFilename) {
                txtLocation->setFocus(Qt::TabFocusReason);
                return true;
            }
            if (watched == txtLocation) {
                txtDescription->setFocus(Qt::TabFocusReason);
                return true;
            }
            if (watched == txtDescription) {
                cmdAdd_Click();
                cmdExit->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    return ChildWindow::eventFilter(watched, event);
}

// One step of Save. The closed-object error is skipped; any other failure is reported and
// ends Save. Returns whether Save goes on.
bool frmAdd::saveStep(const std::function<void()> &step, WaitCursor &wait)
{
    RunTimeError failure(0, QString());
    try {
        step();
        return true;
    } catch (const RunTimeError &e) {
        if (e.number() == err::ClosedObject)
            return true;
        failure = e;
    } catch (const std::exception &e) {
        failure = RunTimeError(0, QString::fromLocal8Bit(e.what()));
    }
    wait.restore();
    MessageBox::show(QStringLiteral("Error No ") + QString::number(failure.number()) + QStringLiteral("\r\n")
                         + failure.description() + QStringLiteral(" has occured."),
                     QMessageBox::Ok, MessageBox::Icon::None);
    return false;
}

void frmAdd::showResult(const QString &text)
{
    lblMessage->setText(text);
    fitText(lblMessage);
    lblMessage->setVisible(true);
}

void frmAdd::cmdAdd_Click()
{
    // The catalogue's answers come from its writer thread; meanwhile the interface keeps running,
    // so a second Save (or Enter) then is not another one.
    if (m_saving)
        return;
    const QString fileName = txtFilename->text();
    const QString typed = txtDescription->text();
    const QString location = txtLocation->text();
    const QString description = typed.isEmpty() ? QStringLiteral("None") : typed;
    const QPointer<frmAdd> self(this);
    m_saving = true;
    const auto saved = qScopeGuard([&] {
        if (self)
            m_saving = false;
    });
    catalogue::CatalogueService &catalogue = catalogue::CatalogueService::instance();

    WaitCursor wait;
    int alreadyThere = 0;
    if (!saveStep([&] { alreadyThere = catalogue.fileNameCount(fileName); }, wait) || !self)
        return;
    if (alreadyThere > 0) {
        wait.restore();
        const auto answer = MessageBox::show(
            QStringLiteral("Image name already in database.\r\nDo you want to continue?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, MessageBox::Icon::None);
        if (!self || answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::No) {
            showResult(fileName + QStringLiteral(" has not been added to the database."));
            return;
        }
    }
    if (!saveStep([&] { catalogue.addRow({fileName, location, description}); }, wait) || !self)
        return;
    showResult(fileName + QStringLiteral(" has been added to the database."));
    wait.restore();
}

void frmAdd::cmdExit_Click()
{
    unload();
}

} // namespace pixdock
