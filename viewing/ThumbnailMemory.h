// The sheet pictures kept in memory: a bounded number of them, and when there are too many,
// those farthest from what is on screen are let go first (the shared disk cache still has them).
#pragma once

#include <QHash>
#include <QImage>

namespace pixdock::thumbnails {

class ThumbnailMemory
{
public:
    explicit ThumbnailMemory(int capacity);

    int capacity() const { return m_capacity; }
    int size() const { return int(m_images.size()); }

    // Where the user looks: the picture at the middle of the screen.
    void setFocus(int picture) { m_focus = picture; }
    int focus() const { return m_focus; }

    // The picture's sheet picture, or a null image when it is not in memory.
    QImage find(int picture) const { return m_images.value(picture); }
    bool contains(int picture) const { return m_images.contains(picture); }
    // Keeps the sheet picture; when that makes too many, lets go of a tenth of them, the
    // farthest from the focus first (which may be this one).
    void insert(int picture, const QImage &image);
    void clear() { m_images.clear(); }

private:
    void trim();

    QHash<int, QImage> m_images;
    int m_capacity;
    int m_focus = 0;
};

// How many sheet pictures of `sheet` pixels fit in the memory the sheet may use for them.
int memoryCapacityFor(QSize sheet);

} // namespace pixdock::thumbnails
