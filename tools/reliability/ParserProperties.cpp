// The property checks.
#include "ParserProperties.h"

#include "CataloguePaths.h"
#include "CatalogueStatements.h"
#include "CatalogueUnicode.h"
#include "ExifReader.h"
#include "FileService.h"
#include "FolderListing.h"
#include "JpegDecoder.h"
#include "JpegThumbnail.h"
#include "Pictures.h"
#include "PictureOrientation.h"
#include "ThumbnailLoader.h"
#include "clsFiles.h"

#include <QBuffer>
#include <QDebug>

#include <algorithm>
#include <map>

namespace pixdock::fuzzing {

const QChar Separator = u'/';

// Whether `text` holds `keyword` regardless of case, compared as case-folded code points, the way
// the catalogue compares text.
static bool containsIgnoringCase(const QString &text, const QString &keyword)
{
    const auto folded = [](const QString &s) {
        std::vector<char32_t> out;
        for (qsizetype i = 0; i < s.size(); ++i) {
            const bool pair = s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
            out.push_back(QChar::toCaseFolded(pair ? QChar::surrogateToUcs4(s.at(i), s.at(i + 1)) : s.at(i).unicode()));
            i += pair;
        }
        return out;
    };
    const std::vector<char32_t> t = folded(text), k = folded(keyword);
    return k.empty() || std::search(t.begin(), t.end(), k.begin(), k.end()) != t.end();
}

// What went wrong: words as they are, texts quoted and escaped (lone surrogates as \uXXXX), sizes
// and numbers as QDebug shows them.
template<typename... Parts>
static std::string failure(const Parts &...parts)
{
    QString s;
    (QDebug(&s) << ... << parts);
    return s.toStdString();
}

// The first property found broken, with the texts that break it.
struct Verdict
{
    std::string problem;
    void expect(bool holds, const char *what, std::initializer_list<QString> texts)
    {
        if (!holds && problem.empty())
            problem = failure(what, QStringList(texts));
    }
};

// Fuzzer bytes as `parts` texts (see checkInput); the last keeps any further U+0001, missing ones are empty.
static QStringList textsFromBytes(const QByteArray &b, int parts)
{
    QString text;
    if (!b.isEmpty() && b[0] % 2 == 0)
        text = QString::fromUtf8(b.mid(1));
    for (qsizetype i = 1; !b.isEmpty() && b[0] % 2 != 0 && i + 1 < b.size(); i += 2) // little-endian UTF-16 units
        text += QChar(char16_t(quint8(b[i]) | quint8(b[i + 1]) << 8));
    QStringList pieces;
    for (int i = 0; i < parts; ++i)
        pieces << (i + 1 < parts ? text.section(QChar(1), i, i) : text.section(QChar(1), i));
    return pieces;
}

// The search: the keyword splitter gives back the text when its pieces are joined with commas,
// no keyword holds a comma, every keyword is a substring of the text; the statement holds one
// bound condition per keyword and no keyword text; a keyword's pattern finds exactly the texts
// that contain the keyword regardless of case (checked against `other` and a few texts built
// around the keyword).
static std::string checkSearch(const QStringList &texts)
{
    const QString &keywordText = texts.at(0), &other = texts.at(1);
    using namespace catalogue;
    const QStringList keywords = splitKeywords(keywordText);
    Verdict v;
    v.expect(keywords.join(u',') == keywordText, "the keywords joined with commas are not the text", {keywordText});
    // Joined back they are the text, so none holding a comma means one keyword per comma and one.
    for (const QString &k : keywords)
        v.expect(!k.contains(u','), "a keyword holds a comma", {keywordText, k});
    const Statement statement = searchStatement(keywordText);
    const QStringList conditions(keywords.size(), QStringLiteral("Description LIKE ? ESCAPE '\\'"));
    v.expect(statement.text == "SELECT FileName, Location, Description FROM Info WHERE " + conditions.join(" OR "),
             "the statement text is not the fixed one", {keywordText, statement.text});
    if (statement.values.size() != keywords.size())
        return failure("not one bound value per keyword", keywordText);
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        const QString &k = keywords.at(i), pattern = statement.values.at(i).toString();
        for (const QString &text : {k, "x" + k + "y", k.toUpper(), other + k, keywordText})
            v.expect(likeMatches(pattern, text, U'\\') || !containsIgnoringCase(text, k),
                     "the pattern misses a text that holds the keyword", {k, text});
        v.expect(likeMatches(pattern, other, U'\\') == containsIgnoringCase(other, k), "the pattern and plain containment disagree",
                 {k, other});
    }
    return v.problem;
}

// Paths: GetFileName holds no separator, GetParentDir is the path's beginning without a trailing
// separator (the root keeps its own), the extension is the name's end; for a path without
// repeated or trailing separators that holds a separator, joining parent and name gives the
// path back, and clsFiles and the catalogue split it alike; the full-path rule of a catalogue
// row drops exactly one trailing separator of the location.
static std::string checkPaths(const QStringList &texts)
{
    const QString &path = texts.at(0), &fileName = texts.at(1);
    const clsFiles files;
    const QString parent = files.GetParentDir(path).toString(), name = files.GetFileName(path).toString(),
                  extension = files.ShowFileType(path).toString();
    Verdict v;
    v.expect(!name.contains(Separator), "the file name holds a separator", {path, name});
    v.expect(path.startsWith(parent), "the parent is not the path's beginning", {path, parent});
    v.expect(parent.size() <= 1 || !parent.endsWith(Separator), "the parent ends with a separator", {path, parent});
    v.expect(!extension.contains(u'.') && !extension.contains(Separator), "the extension holds a dot or a separator",
             {path, extension});
    v.expect(extension.isEmpty() || name.endsWith(u'.' + extension), "the extension is not the name's end", {path, extension});
    if (path.contains(Separator) && !path.contains(QStringLiteral("//")) && !path.endsWith(Separator)) {
        const QString joined = viewing::fs::joinPath(parent, name);
        v.expect(joined == path, "joining parent and name does not give the path back", {path, parent, name, joined});
        const catalogue::PicturePath split = catalogue::splitPicturePath(path);
        v.expect(split.folder == parent && split.fileName == name, "clsFiles and the catalogue split the path differently",
                 {path, parent, split.folder, name, split.fileName});
        v.expect(!path.startsWith(Separator) || catalogue::fullPathOf(split.folder, split.fileName) == path,
                 "a row made from the path does not give it back", {path});
    }
    // The full-path rule: the location less one trailing separator, a separator, the name.
    const QString full = catalogue::fullPathOf(path, fileName);
    v.expect(full == (path.endsWith(Separator) ? path.chopped(1) : path) + Separator + fileName, "the full-path rule",
             {path, fileName, full});
    return v.problem;
}

// The folder order (viewing::compareFileNames) is a total order: a name equals only itself,
// swapping the two names turns the sign, and the three orderings of each pair agree with one
// ordering of the triple (transitive).
static std::string checkOrder(QStringList s)
{
    using viewing::compareFileNames;
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    Verdict v;
    for (const QString &x : s) // x against itself included
        for (const QString &y : s) {
            const int xy = compareFileNames(x, y);
            v.expect(sign(xy) == -sign(compareFileNames(y, x)), "swapping the names does not turn the sign", {x, y});
            v.expect((xy == 0) == (x == y), "equal names compare unequal or different ones equal", {x, y});
        }
    std::sort(s.begin(), s.end(), [](const QString &x, const QString &y) { return compareFileNames(x, y) < 0; });
    v.expect(compareFileNames(s[0], s[1]) <= 0 && compareFileNames(s[1], s[2]) <= 0 && compareFileNames(s[0], s[2]) <= 0,
             "the order is not transitive", {s[0], s[1], s[2]});
    return v.problem;
}

// A JPEG decoder over bytes in memory.
struct Reader
{
    QByteArray bytes;
    QBuffer buffer{&bytes};
    viewing::JpegDecoder decoder{(buffer.open(QIODevice::ReadOnly), &buffer)};
    explicit Reader(const QByteArray &data) : bytes(data) { decoder.setMemoryLimit(64 * 1024 * 1024); }
};

// `tiff` after "Exif\0\0" as a JPEG's APP1 block: the orientation read is 0 to 8 and the
// preview lies inside the block; a preview that reads as a JPEG decodes to the size its header
// gives, reduced; the thumbnail source of a small JPEG carrying the block is that picture's
// size, upright, whether it came from the preview or not.
static std::string checkExif(const QByteArray &tiff)
{
    const QByteArray block = (QByteArrayLiteral("Exif\0\0") + tiff).left(0xFFFF - 2);
    const viewing::ExifFacts facts = viewing::readExif(block);
    if (facts.orientation < 0 || facts.orientation > 8)
        return failure("orientation", facts.orientation, "out of range");
    if (!facts.preview.isEmpty() && block.indexOf(facts.preview) < 0)
        return "the preview is not part of the block";
    Reader preview(facts.preview);
    const QSize &size = preview.decoder.header().size; // read by readHeader() below
    // Only previews no larger than a picture could be are ever decoded.
    if (!facts.preview.isEmpty() && preview.decoder.readHeader() && size.width() <= 8000 && size.height() <= 8000) {
        const int reduction = thumbnails::reductionFor(size, {128, 128});
        const QImage image = preview.decoder.decode(reduction);
        const QSize expected((size.width() + reduction - 1) / reduction, (size.height() + reduction - 1) / reduction);
        if (!image.isNull() && image.size() != expected)
            return failure("preview of", size, "decoded at", image.size());
    }
    // The block in a small picture of the tests' own.
    static const QByteArray carrier = test::encodeJpeg(test::detailedPicture({32, 24}), {.quality = 50});
    Reader carried(test::withApp1(carrier, block));
    const thumbnails::JpegThumbnailSource source = thumbnails::readJpegForThumbnail(&carried.buffer, thumbnails::SheetSize);
    const QSize upright = viewing::uprightSize({32, 24}, viewing::transformationOf(facts.orientation));
    if (source.original != upright || source.upright.size() != upright)
        return failure("thumbnail source", source.upright.size(), "of a picture of", upright);
    return {};
}

// `bytes` as a JPEG file: a header that reads gives a size libjpeg accepts; a picture of a
// megapixel or less decodes whole, and any region of it that decodes without meeting damaged
// data has exactly the whole picture's pixels there; the thumbnail source is empty or of the
// picture's upright size or smaller.
static std::string checkJpeg(const QByteArray &bytes)
{
    Reader whole(bytes), part(bytes), forThumbnail(bytes);
    if (!whole.decoder.readHeader())
        return {};
    const QSize size = whole.decoder.header().size;
    if (size.isEmpty() || size.width() > 65500 || size.height() > 65500)
        return failure("header size", size);
    const QImage picture = qint64(size.width()) * size.height() <= 1024 * 1024 ? whole.decoder.decode() : QImage();
    if (!picture.isNull() && picture.size() != size)
        return failure("decoded", picture.size(), "of", size);
    // A region chosen by the data: the last bytes pick its corner and size.
    const uint seed = qHash(bytes.right(8));
    const QRect region(int(seed % uint(size.width())), int((seed >> 8) % uint(size.height())),
                       1 + int((seed >> 16) % uint(size.width())), 1 + int((seed >> 24) % uint(size.height())));
    if (!picture.isNull() && part.decoder.readHeader()) {
        const QRect inside = region.intersected(picture.rect());
        const int warned = part.decoder.damageWarnings();
        const QImage piece = part.decoder.decodeRegion(region);
        // Where libjpeg met damaged data on the way the two decodes need not agree: the viewer
        // then shows no part first.
        if (!piece.isNull() && part.decoder.damageWarnings() == warned && piece != picture.copy(inside))
            return failure("region", inside, "differs from the whole picture");
    }
    const auto source = thumbnails::readJpegForThumbnail(&forThumbnail.buffer, thumbnails::SheetSize);
    if (!source.upright.isNull() && source.original.expandedTo(source.upright.size()) != source.original)
        return failure("thumbnail source", source.upright.size(), "larger than its picture", source.original);
    return {};
}

// `bytes` as the start of a PNG file: reading its head never looks past the bytes, and what
// any shorter start says is part of what the whole says.
static std::string checkPngHead(const QByteArray &bytes)
{
    const thumbnails::PngHead head = thumbnails::readPngHead(bytes);
    if (head.size.isValid() && head.size.isEmpty())
        return failure("an empty size", head.size);
    for (qsizetype cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        const thumbnails::PngHead start = thumbnails::readPngHead(bytes.left(cut));
        if (cut >= 8 && start.png != head.png)
            return failure("a start of", cut, "bytes is read as another kind of file");
        for (auto it = start.texts.cbegin(); it != start.texts.cend(); ++it)
            if (head.texts.value(it.key(), it.value() + 'x') != it.value())
                return failure("a start of", cut, "bytes has a text the whole has not:", it.key());
    }
    return {};
}

std::string checkInput(const QString &harness, const QByteArray &bytes)
{
    static const std::map<QString, std::string (*)(const QByteArray &)> checks = {
        {"search", [](const QByteArray &b) { return checkSearch(textsFromBytes(b, 2)); }},
        {"paths", [](const QByteArray &b) { return checkPaths(textsFromBytes(b, 2)); }},
        {"order", [](const QByteArray &b) { return checkOrder(textsFromBytes(b, 3)); }},
        {"exif", checkExif}, {"jpeg", checkJpeg}, {"pnghead", checkPngHead}};
    const auto check = checks.find(harness);
    return check != checks.end() ? check->second(bytes) : "no harness named " + harness.toStdString();
}

} // namespace pixdock::fuzzing
