// EXIF facts through libexif.
#include "ExifReader.h"

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <limits>
#include <memory>

namespace pixdock::viewing {

namespace {

struct ExifDataRelease
{
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

int orientationIn(ExifData *data, ExifIfd ifd)
{
    ExifEntry *entry = exif_content_get_entry(data->ifd[ifd], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components != 1 || entry->size < 2)
        return 0;
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(data));
    return value >= 1 && value <= 8 ? value : 0;
}

} // namespace

ExifFacts readExif(const QByteArray &app1)
{
    ExifFacts facts;
    if (app1.size() < 6 || !app1.startsWith(QByteArrayLiteral("Exif\0\0"))
        || quint64(app1.size()) > std::numeric_limits<unsigned int>::max())
        return facts;
    std::unique_ptr<ExifData, ExifDataRelease> data(exif_data_new());
    if (!data)
        return facts;
    // Read what is there as it is: no tags added, none "corrected".
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char *>(app1.constData()),
                        static_cast<unsigned int>(app1.size()));
    // The main picture's orientation lives in IFD0; a few writers put it after, in IFD1.
    facts.orientation = orientationIn(data.get(), EXIF_IFD_0);
    if (facts.orientation == 0)
        facts.orientation = orientationIn(data.get(), EXIF_IFD_1);
    // libexif keeps the preview only when its offset and length lie inside the block.
    if (data->data && data->size > 0)
        facts.preview = QByteArray(reinterpret_cast<const char *>(data->data), qsizetype(data->size));
    return facts;
}

} // namespace pixdock::viewing
