// The search window "Search Database": finds catalogued pictures whose description holds any
// of the comma-separated keywords, shows them in a grid and opens one on a double-click.
#pragma once

#include "ChildWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pixdock {

namespace catalogue {
class CatalogueGrid;
} // namespace catalogue

class frmSearch : public ChildWindow
{
    Q_OBJECT
public:
    frmSearch();
    ~frmSearch() override;

    void cmdSearch_Click();
    void cmdExit_Click();
    // Opens the picture of the grid's current row.
    void MSHFlexGrid1_DblClick();

    // The result grid (read by catalogue stepping and the thumbnail window).
    catalogue::CatalogueGrid *grid() const { return MSHFlexGrid1; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMessage(const QString &text);

    QLabel *lblKeywords;
    QLineEdit *txtKeywords;
    QPushButton *cmdSearch;
    QLabel *lblMessage;
    QPushButton *cmdExit;
    // Its rows: a snapshot of the matches taken by the last search that found any.
    catalogue::CatalogueGrid *MSHFlexGrid1;
    bool m_searching = false;
};

} // namespace pixdock
