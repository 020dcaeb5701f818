// Large pictures in huge pages, through mmap and madvise.
#include "PictureMemory.h"

#include <cstdint>
#include <limits>

#include <sys/mman.h>

namespace pixdock::viewing {

namespace {

constexpr size_t HugePage = size_t(2) << 20;
// Smaller pictures are few pages: the ordinary allocator serves them as well.
constexpr qint64 LargeBytes = qint64(8) << 20;

struct Mapping
{
    void *base;
    size_t length;
};

void unmap(void *info)
{
    auto *mapping = static_cast<Mapping *>(info);
    ::munmap(mapping->base, mapping->length);
    delete mapping;
}

} // namespace

QImage allocatePicture(QSize size, QImage::Format format)
{
    if (size.isEmpty())
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = ((qint64(size.width()) * depth + 31) / 32) * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (bytes < LargeBytes || bytesPerLine > std::numeric_limits<int>::max())
        return QImage(size, format);
    // Room to start the pixels on a huge page's boundary.
    const size_t length = size_t(bytes) + HugePage;
    void *base = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return QImage(size, format);
    auto *pixels = reinterpret_cast<uchar *>((reinterpret_cast<uintptr_t>(base) + HugePage - 1) & ~(HugePage - 1));
    // Only a hint: without huge pages the memory is ordinary pages, as from any allocator.
    ::madvise(pixels, size_t(bytes), MADV_HUGEPAGE);
    return QImage(pixels, size.width(), size.height(), qsizetype(bytesPerLine), format, unmap,
                  new Mapping{base, length});
}

} // namespace pixdock::viewing
