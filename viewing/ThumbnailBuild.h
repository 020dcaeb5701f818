// Building a sheet of thumbnails off the user-interface thread: one worker per core makes
// them, and they are handed back on the user-interface thread in the order of the paths.
#pragma once

#include "ThumbnailCache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <optional>

namespace pixdock::thumbnails {

class ThumbnailBuild : public QObject
{
    Q_OBJECT
public:
    explicit ThumbnailBuild(QObject *parent = nullptr);
    // Stops the build: nothing runs on its behalf once it is gone.
    ~ThumbnailBuild() override;

    // Starts making thumbnails of `paths`. thumbnailReady() comes for each picture that has one,
    // in the order of `paths`: a thumbnail that is ready early waits until every picture before
    // it is placed or known to have none. A build starts once.
    void start(const QStringList &paths, const ThumbnailCache &cache = ThumbnailCache());
    // Drops the thumbnails not yet begun, ends the decodes under way at their next read and
    // waits for the workers to let go. No signal comes after it.
    void stop();

    int total() const { return int(m_paths.size()); }
    // Pictures placed or passed over so far, counted in order.
    int settled() const { return m_next; }
    bool isRunning() const { return m_started && !m_stopped && m_next < total(); }

signals:
    void thumbnailReady(int index, const QString &path, const QImage &image);
    void progressChanged(int settled, int total);
    void finished();

private:
    void arrived(int index, const QImage &image);

    QThreadPool m_pool;
    std::atomic_bool m_cancelled{false};
    QStringList m_paths;
    QList<std::optional<QImage>> m_results;
    int m_next = 0;
    bool m_started = false;
    bool m_stopped = false;
};

} // namespace pixdock::thumbnails
