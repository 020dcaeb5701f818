// Decoding the picture the user is likely to ask for next while the current one is looked
// at: after a viewer shows a picture, the next file of its folder is decoded on a worker
// thread and handed to the viewer that opens it, so a step through a folder of large
// pictures does not wait for the decoder. A file changed on disk since it was decoded is
// never handed over; the viewer then reads it afresh.
#pragma once

#include "FileStamp.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace pixdock::viewing {

// The largest picture preloaded, in bytes of decoded pixels (a 32-megapixel picture). At
// most one picture is preloaded or being decoded at a time, so with the one shown no more
// than two large pictures are in memory.
inline constexpr qint64 PreloadBudgetBytes = 128ll * 1024 * 1024;

class PicturePreloader : public QObject
{
    Q_OBJECT
public:
    PicturePreloader();
    ~PicturePreloader() override;

    // The one the viewers use.
    static PicturePreloader &instance();

    // Pictures whose pixels take more bytes than this are not preloaded; 0 preloads nothing.
    void setBudgetBytes(qint64 bytes);
    qint64 budgetBytes() const;

    // Starts decoding `path` on the worker unless it is held or being decoded already. A
    // picture held for another path is let go; a decode of another path still running is
    // not kept. Files that are not pictures are simply not held.
    void preload(const QString &path);
    // Preloads the file that follows `shownPath` in its folder, if there is one.
    void preloadNextInFolder(const QString &shownPath);

    // Whether a decoded picture of `path` is held (the file may have changed since).
    bool isReady(const QString &path) const;
    // The picture of `path` if one is held and the file is still the one decoded; the
    // preloader lets it go. Never waits: a decode of `path` under way is not finished yet.
    std::optional<QImage> take(const QString &path);
    // Whether the worker is decoding `path` now, and what it makes is wanted; decodeEnded
    // follows.
    bool isDecoding(const QString &path) const;

    // Waits until the worker has done all it was asked (a picture is held, or was refused).
    void waitUntilIdle();
    // Lets go of the held picture and of what the worker does now, without waiting for it.
    void letGo();
    // Lets go of everything and waits for the worker.
    void clear();

    // How many pictures have been handed over so far.
    int handedOver() const;

signals:
    // A decoded picture of `path` is held (sent on the thread the preloader lives in).
    void pictureReady(const QString &path);
    // The worker is done with `path`: its picture is held (pictureReady came first) or it was
    // refused, failed or was no longer wanted.
    void decodeEnded(const QString &path);

private:
    // What the worker is asked for: a file, or the file after one in its folder.
    struct Request
    {
        QString path;
        bool nextInFolder = false;
        friend bool operator==(const Request &, const Request &) = default;
    };
    struct Held
    {
        Request request;
        QString path;
        QImage image;
        FileStamp stamp;
        qint64 readAtNs = 0;
        // The file's bytes when it had changed too recently for its stamp to prove later
        // that it is unchanged; then the bytes on disk are compared instead.
        QByteArray bytes;
    };
    void request(const Request &wanted);
    void runWorker();
    static QString resolve(const Request &request);
    static std::optional<Held> decode(const QString &path, qint64 budget, const std::atomic_bool *cancelled);
    // Moves the generation on: what the worker makes now is no longer wanted, and its decode
    // ends at its next row. Under the lock.
    void dropWorkUnderWay();
    static bool stillOnDisk(const Held &held);

    mutable std::mutex m_mutex;
    std::condition_variable m_decoded;
    qint64 m_budget = PreloadBudgetBytes;
    std::optional<Request> m_wanted; // the worker's next task
    Request m_working;               // the task the worker is on
    quint64 m_workingGeneration = 0; // and the generation it was asked in
    QString m_decoding;              // the path it decodes now
    quint64 m_generation = 0;        // moves on when the worker's result is no longer wanted
    bool m_workerRunning = false;
    std::atomic_bool m_cancelled{false}; // the decode under way is no longer wanted
    std::optional<Held> m_held;
    int m_handedOver = 0;
    QThreadPool m_pool;
};

} // namespace pixdock::viewing
