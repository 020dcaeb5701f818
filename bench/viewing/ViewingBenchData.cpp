// Generated names and folders for the viewing benchmark.
#include "ViewingBenchData.h"

#include "FileStamp.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <stdexcept>
#include <unistd.h>

namespace pixdock::bench {

QStringList generatedFileNames(int count, quint64 seed)
{
    QRandomGenerator random(quint32(seed ^ (seed >> 32)));
    static const char *const words[] = {"Holiday", "beach", "Birthday", "garden", "Mum", "party", "Paris",
        "snow", "wedding", "Dog", "cat", "sunset", "Family", "trip", "scan"};
    static const char *const suffixes[] = {".jpg", ".JPG", ".jpeg", ".png", ".gif", ".bmp"};
    auto pick = [&](auto &list) { return QString::fromLatin1(list[random.bounded(int(std::size(list)))]); };
    QSet<QString> taken;
    QStringList names;
    names.reserve(count);
    while (names.size() < count) {
        QString name;
        switch (random.bounded(6)) {
        case 0:
            name = QStringLiteral("IMG_%1").arg(random.bounded(100000), 4, 10, QLatin1Char('0'));
            break;
        case 1:
            name = QStringLiteral("DSC%1").arg(random.bounded(100000), 5, 10, QLatin1Char('0'));
            break;
        case 2:
            name = QStringLiteral("%1 %2 (%3)")
                       .arg(pick(words))
                       .arg(1990 + random.bounded(35))
                       .arg(random.bounded(400));
            break;
        case 3:
            name = QStringLiteral("PXL_%1%2%3_%4")
                       .arg(2015 + random.bounded(10))
                       .arg(1 + random.bounded(12), 2, 10, QLatin1Char('0'))
                       .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'))
                       .arg(random.bounded(1000000000), 9, 10, QLatin1Char('0'));
            break;
        case 4:
            name = pick(words) + QLatin1Char('_') + pick(words) + QString::number(random.bounded(2000));
            break;
        default:
            name = QStringLiteral("scan%1").arg(random.bounded(1000000));
            break;
        }
        name += pick(suffixes);
        if (!taken.contains(name)) {
            taken.insert(name);
            names.append(name);
        }
    }
    return names;
}

void fillFolder(const QString &folder, const QStringList &names, const QStringList &pictures)
{
    if (pictures.isEmpty())
        throw std::runtime_error("no pictures to fill the folder with");
    QDir().mkpath(folder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &source = pictures[i % pictures.size()];
        const QString target = QDir(folder).filePath(names[i]);
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0
            && !QFile::copy(source, target))
            throw std::runtime_error("cannot make " + target.toStdString());
    }
}

void waitUntilSettled(const QStringList &paths)
{
    qint64 latest = 0;
    for (const QString &path : paths) {
        if (const auto stamp = viewing::stampOf(path))
            latest = std::max(latest, stamp->changedNs);
    }
    const qint64 waitNs = latest + viewing::StampSettleNs - viewing::realTimeNs();
    if (waitNs > 0)
        QThread::usleep(quint64(waitNs / 1000) + 1000);
}

} // namespace pixdock::bench
