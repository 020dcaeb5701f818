// The JPEG decoder over libjpeg's own API (the TurboJPEG API of this libjpeg-turbo cannot crop).
// libjpeg reports a fatal error by calling back, and the callback jumps back to the last
// setjmp: every libjpeg call runs inside guarded(), whose work keeps no object with a
// destructor on the stack, and everything that lives across calls sits in State.
#include "JpegDecoder.h"

#include "ExifReader.h"
#include "PictureMemory.h"
#include "PictureOrientation.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace pixdock::viewing {

namespace {

constexpr size_t ReadChunk = 64 * 1024;
// Rows handed to libjpeg at a time, and rows between two reports of a finished band.
constexpr int RowsPerCall = 16;
constexpr int RowsPerBand = 64;

struct ErrorManager : jpeg_error_mgr
{
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct Source : jpeg_source_mgr
{
    QIODevice *device = nullptr;
    const JOCTET *memory = nullptr; // a QBuffer's bytes, given to libjpeg in one piece
    size_t memorySize = 0;
    bool memoryGiven = false;
    JOCTET buffer[ReadChunk];
};

void jumpBack(j_common_ptr info)
{
    auto *errors = static_cast<ErrorManager *>(info->err);
    (*errors->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Damaged data only warns; the picture is still decoded, with grey where data is missing.
void keepQuiet(j_common_ptr) {}

void startSource(j_decompress_ptr) {}

boolean fillBuffer(j_decompress_ptr info)
{
    auto *source = static_cast<Source *>(info->src);
    if (source->memory && !source->memoryGiven) {
        source->memoryGiven = true;
        source->next_input_byte = source->memory;
        source->bytes_in_buffer = source->memorySize;
        if (source->memorySize > 0)
            return TRUE;
    }
    const qint64 got = source->memory ? 0 : source->device->read(reinterpret_cast<char *>(source->buffer), ReadChunk);
    if (got <= 0) {
        // The end of the data: an end-of-image marker, as libjpeg advises for a file cut short.
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        source->next_input_byte = source->buffer;
        source->bytes_in_buffer = 2;
        return TRUE;
    }
    source->next_input_byte = source->buffer;
    source->bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipData(j_decompress_ptr info, long count)
{
    auto *source = static_cast<Source *>(info->src);
    if (count <= 0)
        return;
    if (size_t(count) <= source->bytes_in_buffer) {
        source->next_input_byte += count;
        source->bytes_in_buffer -= size_t(count);
        return;
    }
    const qint64 beyond = qint64(count) - qint64(source->bytes_in_buffer);
    source->bytes_in_buffer = 0;
    // In memory everything was given at once: there is nothing past it.
    if (!source->memory)
        source->device->skip(beyond);
}

void endSource(j_decompress_ptr) {}

// libjpeg's progress hook: called between rows of every scan it takes in and of every output
// pass, where a decode nobody wants any more, or one of absurdly many scans, is ended as a
// fatal error would end it.
struct Progress : jpeg_progress_mgr
{
    const std::atomic_bool *cancelled = nullptr;
    bool stoppedByCancel = false;
    bool stoppedByScans = false;
};

void watchProgress(j_common_ptr common)
{
    auto *progress = static_cast<Progress *>(common->progress);
    const int scan = reinterpret_cast<j_decompress_ptr>(common)->input_scan_number;
    if (progress->cancelled && progress->cancelled->load(std::memory_order_relaxed))
        progress->stoppedByCancel = true;
    else if (scan > MostScans)
        progress->stoppedByScans = true;
    else
        return;
    auto *errors = static_cast<ErrorManager *>(common->err);
    std::snprintf(errors->message, sizeof errors->message, "%s",
                  progress->stoppedByCancel ? "Decoding cancelled" : "More scans than any encoder writes");
    std::longjmp(errors->jump, 1);
}

bool isRestart(uchar marker) { return marker >= 0xD0 && marker <= 0xD7; }

// Adobe's CMYK JPEGs store the inks inverted; this is how Qt's reader turns them into colour.
void cmykToRgb32(uchar *row, int width)
{
    for (int x = 0; x < width; ++x, row += 4) {
        const int c = row[0], m = row[1], y = row[2], k = row[3];
        const QRgb rgb = qRgb(k * c / 255, k * m / 255, k * y / 255);
        std::memcpy(row, &rgb, 4);
    }
}

} // namespace

struct JpegDecoder::State
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    Progress progress{};
    bool tooManyScans = false;
    Source source;
    JpegHeader header;
    bool headerRead = false;
    bool used = false;
    // Work kept off the stack of the guarded calls.
    std::vector<JOCTET> row;
    QImage output;

    template<class Work>
    bool guarded(Work &&work)
    {
        if (setjmp(errors.jump))
            return false;
        work();
        return true;
    }
};

QImageIOHandler::Transformations JpegHeader::turn() const { return transformationOf(orientation); }

QSize JpegHeader::uprightSize() const { return viewing::uprightSize(size, turn()); }

bool looksLikeJpeg(const QByteArray &head)
{
    return head.size() >= 3 && quint8(head[0]) == 0xFF && quint8(head[1]) == 0xD8 && quint8(head[2]) == 0xFF;
}

int countScans(QByteArrayView jpeg, int stopAfter)
{
    const auto *bytes = reinterpret_cast<const uchar *>(jpeg.data());
    const qsizetype size = jpeg.size();
    int scans = 0;
    qsizetype at = 2; // past the start-of-image marker
    while (at + 1 < size && scans <= stopAfter) {
        const uchar marker = bytes[at + 1];
        if (bytes[at] != 0xFF || marker == 0xFF) {
            ++at; // bytes between segments, or fill bytes before a marker
            continue;
        }
        if (marker == 0xD9)
            break;
        if (marker == 0x00 || marker == 0x01 || isRestart(marker)) {
            at += 2; // markers without a length
            continue;
        }
        if (at + 3 >= size)
            break;
        at += 2 + (qsizetype(bytes[at + 2]) << 8 | bytes[at + 3]);
        if (marker != 0xDA)
            continue;
        ++scans;
        // The scan's entropy-coded data ends at the first FF that is neither a stuffed FF 00
        // nor a restart marker.
        while (at + 1 < size) {
            const auto *ff = static_cast<const uchar *>(std::memchr(bytes + at, 0xFF, size_t(size - at - 1)));
            if (!ff) {
                at = size;
                break;
            }
            at = ff - bytes;
            if (bytes[at + 1] != 0x00 && !isRestart(bytes[at + 1]))
                break;
            at += 2;
        }
    }
    return scans;
}

JpegDecoder::JpegDecoder(QIODevice *device)
    : d(std::make_unique<State>())
{
    d->info.err = jpeg_std_error(&d->errors);
    d->errors.error_exit = jumpBack;
    d->errors.output_message = keepQuiet;
    d->errors.message[0] = '\0';
    jpeg_create_decompress(&d->info);

    Source &source = d->source;
    source.init_source = startSource;
    source.fill_input_buffer = fillBuffer;
    source.skip_input_data = skipData;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = endSource;
    source.next_input_byte = nullptr;
    source.bytes_in_buffer = 0;
    source.device = device;
    if (auto *buffer = qobject_cast<QBuffer *>(device)) {
        const QByteArray &bytes = buffer->data();
        const qint64 at = std::clamp<qint64>(buffer->pos(), 0, bytes.size());
        source.memory = reinterpret_cast<const JOCTET *>(bytes.constData()) + at;
        source.memorySize = size_t(bytes.size() - at);
    }
    d->info.src = &source;
    d->progress.progress_monitor = watchProgress;
    d->info.progress = &d->progress;
}

JpegDecoder::~JpegDecoder() { jpeg_destroy_decompress(&d->info); }

void JpegDecoder::setMemoryLimit(qint64 bytes) { d->info.mem->max_memory_to_use = long(std::max<qint64>(bytes, 1)); }

void JpegDecoder::setCancelFlag(const std::atomic_bool *cancelled) { d->progress.cancelled = cancelled; }

bool JpegDecoder::wasCancelled() const { return d->progress.stoppedByCancel; }

bool JpegDecoder::hasTooManyScans() const { return d->tooManyScans || d->progress.stoppedByScans; }

bool JpegDecoder::readHeader()
{
    if (d->headerRead)
        return true;
    jpeg_decompress_struct &info = d->info;
    const bool read = d->guarded([&info] {
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&info, TRUE);
    });
    if (!read || info.image_width == 0 || info.image_height == 0)
        return false;
    JpegHeader &header = d->header;
    header.size = QSize(int(info.image_width), int(info.image_height));
    header.progressive = jpeg_has_multiple_scans(&info);
    // In memory the scans are counted before any is decoded: such a file is refused at once.
    if (header.progressive && d->source.memory
        && countScans(QByteArrayView(d->source.memory, qsizetype(d->source.memorySize))) > MostScans) {
        d->tooManyScans = true;
        return false;
    }
    header.cmyk = info.num_components == 4;
    header.blockWidth = std::max(1, info.max_h_samp_factor) * DCTSIZE;
    header.blockHeight = std::max(1, info.max_v_samp_factor) * DCTSIZE;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6
            && std::memcmp(marker->data, "Exif\0\0", 6) == 0) {
            header.exif = QByteArray(reinterpret_cast<const char *>(marker->data), qsizetype(marker->data_length));
            break;
        }
    }
    const ExifFacts facts = readExif(header.exif);
    header.orientation = facts.orientation;
    header.preview = facts.preview;
    d->headerRead = true;
    return true;
}

const JpegHeader &JpegDecoder::header() const { return d->header; }

QImage JpegDecoder::decodeRegion(const QRect &wanted)
{
    const QRect region = wanted.intersected(QRect(QPoint(0, 0), d->header.size));
    if (!d->headerRead || d->used || region.isEmpty())
        return {};
    d->used = true;
    // Columns at the edge of a crop are upsampled from the crop alone, and so may differ from
    // the whole picture's: decode a coding unit more on each side and keep the inside.
    const int left = std::max(0, region.left() - d->header.blockWidth);
    const int right = std::min(d->header.size.width(), region.right() + 1 + d->header.blockWidth);
    const int top = std::max(0, region.top() - d->header.blockHeight);
    d->output = QImage(region.size(), QImage::Format_RGB32);
    if (d->output.isNull())
        return {};
    d->row.resize(size_t(d->header.size.width()) * 4);

    jpeg_decompress_struct &info = d->info;
    State &state = *d;
    const bool cmyk = d->header.cmyk;
    const bool done = d->guarded([&info, &state, region, left, right, top, cmyk] {
        info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
        jpeg_start_decompress(&info);
        JDIMENSION x = JDIMENSION(left);
        JDIMENSION width = JDIMENSION(right - left);
        jpeg_crop_scanline(&info, &x, &width);
        if (top > 0)
            jpeg_skip_scanlines(&info, JDIMENSION(top));
        JSAMPROW row = state.row.data();
        const size_t offset = size_t(region.left() - int(x)) * 4;
        while (int(info.output_scanline) <= region.bottom()) {
            const int y = int(info.output_scanline);
            if (jpeg_read_scanlines(&info, &row, 1) != 1)
                break;
            if (y < region.top())
                continue;
            if (cmyk)
                cmykToRgb32(row + offset, region.width());
            std::memcpy(state.output.scanLine(y - region.top()), row + offset, size_t(region.width()) * 4);
        }
        jpeg_abort_decompress(&info);
    });
    if (!done)
        return {};
    return std::exchange(d->output, QImage());
}

QImage JpegDecoder::decode(int reduction, bool fast)
{
    if (!d->headerRead || d->used)
        return {};
    jpeg_decompress_struct &info = d->info;
    const bool sized = d->guarded([&info, reduction, fast] {
        info.scale_num = 1;
        info.scale_denom = unsigned(reduction == 2 || reduction == 4 || reduction == 8 ? reduction : 1);
        if (fast) {
            info.dct_method = JDCT_IFAST;
            info.do_fancy_upsampling = FALSE;
        }
        jpeg_calc_output_dimensions(&info);
    });
    if (!sized)
        return {};
    d->output = allocatePicture(QSize(int(info.output_width), int(info.output_height)));
    if (d->output.isNull() || !decodeInto(d->output.bits(), d->output.bytesPerLine()))
        return {};
    return std::exchange(d->output, QImage());
}

bool JpegDecoder::decodeInto(uchar *bits, qsizetype bytesPerLine, const std::function<void(int)> &bandReady,
                             const std::atomic_bool *cancelled)
{
    if (!d->headerRead || d->used || !bits)
        return false;
    d->used = true;
    jpeg_decompress_struct &info = d->info;
    const bool cmyk = d->header.cmyk;
    bool stopped = false;
    const bool done = d->guarded([&info, &stopped, bits, bytesPerLine, &bandReady, cancelled, cmyk] {
        info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
        jpeg_start_decompress(&info);
        JSAMPROW rows[RowsPerCall];
        int reported = 0;
        while (info.output_scanline < info.output_height) {
            if (cancelled && cancelled->load(std::memory_order_relaxed)) {
                stopped = true;
                break;
            }
            const int first = int(info.output_scanline);
            const int count = std::min<int>(RowsPerCall, int(info.output_height) - first);
            for (int i = 0; i < count; ++i)
                rows[i] = bits + qsizetype(first + i) * bytesPerLine;
            const int got = int(jpeg_read_scanlines(&info, rows, JDIMENSION(count)));
            if (got <= 0)
                break;
            if (cmyk) {
                for (int i = 0; i < got; ++i)
                    cmykToRgb32(rows[i], int(info.output_width));
            }
            const int ready = first + got;
            if (bandReady && (ready - reported >= RowsPerBand || ready == int(info.output_height))) {
                bandReady(ready);
                reported = ready;
            }
        }
        jpeg_abort_decompress(&info);
    });
    return done && !stopped;
}

QString JpegDecoder::errorText() const { return QString::fromLocal8Bit(d->errors.message); }

int JpegDecoder::damageWarnings() const { return int(d->errors.num_warnings); }

} // namespace pixdock::viewing
