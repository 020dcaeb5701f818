// A plain frame and control panel for testing windows of the lower libraries, which cannot
// link the real main window: a QMainWindow with a child area and a status text, and a panel
// child window of the real panel's size with its three catalogue buttons.
#pragma once

#include "ChildWindow.h"
#include "CommonDialog.h"
#include "Frame.h"

#include <QMainWindow>
#include <QPushButton>

class QMdiArea;

namespace pixdock::test {

class HostPanel : public ChildWindow, public Panel
{
    Q_OBJECT
public:
    HostPanel();
    int widthTwips() const override { return ChildWindow::widthTwips(); }
    int heightTwips() const override { return ChildWindow::heightTwips(); }
    void setCatalogueButtonsVisible(bool visible) override { for (QPushButton *b : m_buttons) b->setVisible(visible); }
    bool catalogueButtonsVisible() const override { return !m_buttons[0]->isHidden(); }

protected:
    void Form_Load() override;

private:
    QPushButton *m_buttons[3];
};

class HostFrame : public QMainWindow, public Frame
{
    Q_OBJECT
public:
    // Loads the frame (position 0 of the open-window list) and its panel (position 1), and
    // shows both at 1000, 1000 with an outer size of 12000 by 9000 twips.
    HostFrame();
    ~HostFrame() override;

    QString statusText() const override { return m_status; }
    void setStatusText(const QString &text) override { m_status = text; }
    QMdiArea *childArea() override { return m_area; }
    void arrange(Arrangement) override {}
    CommonDialog &commonDialog() override { return m_dialog; }
    int widthTwips() const override;

    HostPanel *hostPanel() const { return m_panel; }

private:
    QMdiArea *m_area;
    QString m_status = NoImageLoaded;
    CommonDialog m_dialog;
    HostPanel *m_panel = nullptr;
};

} // namespace pixdock::test
