// What the catalogue window tests share: a program folder with a fresh db.fil, the host frame
// and panel, the shared connection, and a stand-in viewer opener that records each picture.
#pragma once

#include "HostFrame.h"
#include "ProgramFolder.h"

#include <QStringList>

#include <memory>

class QAbstractItemView;

namespace pixdock::test {

class CatalogueWindowHost
{
public:
    CatalogueWindowHost();
    ~CatalogueWindowHost();

    HostFrame &frame() { return *m_frame; }
    HostPanel &panel() { return *m_frame->hostPanel(); }
    ProgramFolder &folder() { return m_folder; }

    // Rows of (file name, location, description) added through the shared connection.
    void addRows(const QList<QStringList> &rows);
    // The catalogue as it stands, each row "name|location|description", in table order.
    QStringList catalogueRows() const;

    // gCurrentPath at each viewer opening, and whether it was brought to the front.
    QStringList openedPictures;
    QList<bool> broughtToFront;
    // Viewer windows now open.
    int openViewers() const;
    // Opens a stand-in viewer on `path` the way a command would.
    void openViewer(const QString &path);

    // Shows the frame and waits until it is the active window, so focus moves for real.
    bool activate();

private:
    ProgramFolder m_folder;
    std::unique_ptr<HostFrame> m_frame;
};

// Double-clicks a catalogue grid's cell at a data row (1 is the first) and a column.
void doubleClickCell(QAbstractItemView *view, int gridRow, int column);

} // namespace pixdock::test
