// The property checks.
#include "ParserProperties.h"
#include "PictureProperties.h"

#include "CataloguePaths.h"
#include "CatalogueStatements.h"
#include "CatalogueUnicode.h"
#include "FileService.h"
#include "FolderListing.h"
#include "clsFiles.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pixdock::fuzzing {

namespace {

const QChar Separator = QLatin1Char('/');

int sign(int v) { return (v > 0) - (v < 0); }

// The text as case-folded code points, the way the catalogue compares text.
std::vector<char32_t> folded(const QString &s)
{
    std::vector<char32_t> out;
    for (qsizetype i = 0; i < s.size();) {
        char32_t c = s.at(i).unicode();
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s.at(i), s.at(i + 1));
            i += 2;
        } else {
            ++i;
        }
        out.push_back(QChar::toCaseFolded(c));
    }
    return out;
}

bool containsIgnoringCase(const QString &text, const QString &keyword)
{
    const std::vector<char32_t> t = folded(text);
    const std::vector<char32_t> k = folded(keyword);
    return k.empty() || std::search(t.begin(), t.end(), k.begin(), k.end()) != t.end();
}

// A readable form of a text for failure messages: printable ASCII as is, the rest as \uXXXX.
std::string shown(const QString &text)
{
    std::string s;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\')) {
            s += char(c.unicode());
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c.unicode());
            s += buf;
        }
    }
    return s;
}

std::string failure(const char *what, std::initializer_list<QString> texts)
{
    std::string s = what;
    for (const QString &t : texts)
        s += " [" + shown(t) + "]";
    return s;
}

bool canonical(const QString &path)
{
    return path.contains(Separator) && !path.contains(QStringLiteral("//")) && !path.endsWith(Separator);
}

} // namespace

QStringList textsFromBytes(const uint8_t *data, size_t size, int parts)
{
    QString text;
    if (size > 0) {
        if (data[0] % 2 == 0) {
            text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
        } else {
            const size_t units = (size - 1) / 2;
            text.resize(qsizetype(units));
            for (size_t i = 0; i < units; ++i)
                text[qsizetype(i)] = QChar(char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));
        }
    }
    // Cut at U+0001 into `parts` pieces: the last keeps any further U+0001, missing ones are empty.
    QStringList pieces = text.split(QChar(1));
    while (pieces.size() > parts)
        pieces[parts - 1] += QChar(1) + pieces.takeAt(parts);
    while (pieces.size() < parts)
        pieces << QString();
    return pieces;
}

std::string checkSearch(const QString &keywordText, const QString &other)
{
    using namespace catalogue;
    const QStringList keywords = splitKeywords(keywordText);
    if (keywords.join(QLatin1Char(',')) != keywordText)
        return failure("the keywords joined with commas are not the text", {keywordText});
    // Joined back they are the text, so none holding a comma means one keyword per comma and one.
    for (const QString &k : keywords) {
        if (k.contains(QLatin1Char(',')))
            return failure("a keyword holds a comma", {keywordText, k});
    }

    const Statement statement = searchStatement(keywordText);
    QStringList conditions;
    for (qsizetype i = 0; i < keywords.size(); ++i)
        conditions << QStringLiteral("Description LIKE ? ESCAPE '\\'");
    const QString expected = QStringLiteral("SELECT FileName, Location, Description FROM Info WHERE ")
                             + conditions.join(QStringLiteral(" OR "));
    if (statement.text != expected)
        return failure("the statement text is not the fixed one", {keywordText, statement.text});
    if (statement.values.size() != keywords.size())
        return failure("not one bound value per keyword", {keywordText});

    const char32_t escape = U'\\';
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        const QString &k = keywords.at(i);
        const QString pattern = statement.values.at(i).toString();
        if (pattern != containsPattern(k))
            return failure("the bound pattern is not the keyword's", {k, pattern});
        for (const QString &text : {k, QStringLiteral("x") + k + QStringLiteral("y"), k.toUpper(),
                                     other + k, keywordText}) {
            if (!likeMatches(pattern, text, escape) && containsIgnoringCase(text, k))
                return failure("the pattern misses a text that holds the keyword", {k, text});
        }
        if (likeMatches(pattern, other, escape) != containsIgnoringCase(other, k))
            return failure("the pattern and plain containment disagree", {k, other});
    }
    return {};
}

std::string checkPaths(const QString &path, const QString &fileName)
{
    const clsFiles files;
    const QString parent = files.GetParentDir(path).toString();
    const QString name = files.GetFileName(path).toString();
    const QString extension = files.ShowFileType(path).toString();

    if (name.contains(Separator))
        return failure("the file name holds a separator", {path, name});
    if (!path.startsWith(parent))
        return failure("the parent is not the path's beginning", {path, parent});
    if (parent.size() > 1 && parent.endsWith(Separator))
        return failure("the parent ends with a separator", {path, parent});
    if (extension.contains(QLatin1Char('.')) || extension.contains(Separator))
        return failure("the extension holds a dot or a separator", {path, extension});
    if (!extension.isEmpty() && !name.endsWith(QLatin1Char('.') + extension))
        return failure("the extension is not the name's end", {path, extension});

    if (canonical(path)) {
        const QString joined = viewing::fs::joinPath(parent, name);
        if (joined != path)
            return failure("joining parent and name does not give the path back", {path, parent, name, joined});
        const catalogue::PicturePath split = catalogue::splitPicturePath(path);
        if (split.folder != parent || split.fileName != name)
            return failure("clsFiles and the catalogue split the path differently",
                           {path, parent, split.folder, name, split.fileName});
        if (path.startsWith(Separator) && catalogue::fullPathOf(split.folder, split.fileName) != path)
            return failure("a row made from the path does not give it back", {path});
    }

    // The full-path rule: the location less one trailing separator, a separator, the name.
    const QString full = catalogue::fullPathOf(path, fileName);
    const QString location = path.endsWith(Separator) ? path.chopped(1) : path;
    if (full != location + Separator + fileName)
        return failure("the full-path rule", {path, fileName, full});
    return {};
}

std::string checkOrder(const QString &a, const QString &b, const QString &c)
{
    using viewing::compareFileNames;
    const std::array<QString, 3> names = {a, b, c};
    for (const QString &x : names) { // x against itself included
        for (const QString &y : names) {
            const int xy = compareFileNames(x, y);
            const int yx = compareFileNames(y, x);
            if (sign(xy) != -sign(yx))
                return failure("swapping the names does not turn the sign", {x, y});
            if ((xy == 0) != (x == y))
                return failure("equal names compare unequal or different ones equal", {x, y});
        }
    }
    std::array<QString, 3> sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &x, const QString &y) { return compareFileNames(x, y) < 0; });
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (compareFileNames(sorted[size_t(i)], sorted[size_t(j)]) > 0)
                return failure("the order is not transitive", {sorted[0], sorted[1], sorted[2]});
        }
    }
    return {};
}

std::string checkInput(const QString &harness, const QByteArray &bytes)
{
    if (harness == QLatin1String("exif"))
        return checkExif(bytes);
    if (harness == QLatin1String("jpeg"))
        return checkJpeg(bytes);
    if (harness == QLatin1String("pnghead"))
        return checkPngHead(bytes);
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const QStringList t = textsFromBytes(data, size_t(bytes.size()), harness == QLatin1String("order") ? 3 : 2);
    if (harness == QLatin1String("search"))
        return checkSearch(t.at(0), t.at(1));
    if (harness == QLatin1String("paths"))
        return checkPaths(t.at(0), t.at(1));
    if (harness == QLatin1String("order"))
        return checkOrder(t.at(0), t.at(1), t.at(2));
    return "no harness named " + harness.toStdString();
}

} // namespace pixdock::fuzzing
