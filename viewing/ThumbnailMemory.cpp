// The bounded memory of sheet pictures.
#include "ThumbnailMemory.h"

#include <QList>

#include <algorithm>
#include <cstdlib>

namespace pixdock::thumbnails {

namespace {
// The sheet's pictures may take this much memory: a few screens of a large monitor.
constexpr qint64 MemoryBudgetBytes = 48ll * 1024 * 1024;
} // namespace

ThumbnailMemory::ThumbnailMemory(int capacity)
    : m_capacity(std::max(1, capacity))
{
}

void ThumbnailMemory::insert(int picture, const QImage &image)
{
    m_images.insert(picture, image);
    if (m_images.size() > m_capacity)
        trim();
}

void ThumbnailMemory::trim()
{
    QList<int> pictures = m_images.keys();
    // Trimming a tenth at a time keeps the sorting rare.
    const qsizetype keep = std::max<qsizetype>(1, m_capacity - m_capacity / 10);
    if (pictures.size() <= keep)
        return;
    const auto distance = [focus = m_focus](int picture) { return std::abs(qint64(picture) - focus); };
    std::nth_element(pictures.begin(), pictures.begin() + keep, pictures.end(),
                     [&](int a, int b) { return distance(a) < distance(b); });
    for (auto it = pictures.begin() + keep; it != pictures.end(); ++it)
        m_images.remove(*it);
}

int memoryCapacityFor(QSize sheet)
{
    const qint64 bytes = std::max<qint64>(1, qint64(sheet.width()) * sheet.height() * 4);
    return int(std::clamp<qint64>(MemoryBudgetBytes / bytes, 64, 100000));
}

} // namespace pixdock::thumbnails
