// Packing rows into chunks and reading them back.
#include "CatalogueRowChunk.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace pixdock::catalogue {

namespace {

size_t lengthBytes(size_t length)
{
    size_t n = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++n;
    }
    return n;
}

void putLength(std::vector<char> &out, size_t length)
{
    while (length >= 0x80) {
        out.push_back(char((length & 0x7F) | 0x80));
        length >>= 7;
    }
    out.push_back(char(length));
}

void putText(std::vector<char> &out, std::string_view text)
{
    putLength(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

std::string_view takeText(const char *&at)
{
    size_t length = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(*at++);
        length |= size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
        shift += 7;
    }
    const std::string_view text(at, length);
    at += length;
    return text;
}

size_t rowBytes(std::string_view a, std::string_view b, std::string_view c)
{
    return lengthBytes(a.size()) + a.size() + lengthBytes(b.size()) + b.size() + lengthBytes(c.size()) + c.size();
}

} // namespace

std::string_view RowTexts::column(int column) const
{
    switch (column) {
    case 0:
        return fileName;
    case 1:
        return location;
    case 2:
        return description;
    default:
        return {};
    }
}

RowTexts RowChunk::row(int index) const
{
    const char *at = m_text.data() + m_starts[size_t(index)];
    RowTexts texts;
    texts.fileName = takeText(at);
    texts.location = takeText(at);
    texts.description = takeText(at);
    return texts;
}

RowChunkBuilder::RowChunkBuilder(size_t targetBytes)
    : m_target(targetBytes)
{
}

bool RowChunkBuilder::fits(size_t textBytes) const
{
    if (!m_chunk || m_chunk->m_starts.empty())
        return true;
    return m_chunk->m_text.size() + textBytes + 15 <= m_target;
}

void RowChunkBuilder::append(std::string_view fileName, std::string_view location, std::string_view description)
{
    const size_t bytes = rowBytes(fileName, location, description);
    if (bytes > std::numeric_limits<quint32>::max())
        throw std::length_error("a catalogue row larger than 4 GB");
    if (!m_chunk) {
        m_chunk = std::make_unique<RowChunk>();
        // Exactly as large as needed for a row beyond the usual size, so nothing is wasted.
        m_chunk->m_text.reserve(std::max(bytes, m_target));
    }
    std::vector<char> &text = m_chunk->m_text;
    if (text.size() + bytes > std::numeric_limits<quint32>::max())
        throw std::length_error("a catalogue chunk larger than 4 GB");
    m_chunk->m_starts.push_back(quint32(text.size()));
    putText(text, fileName);
    putText(text, location);
    putText(text, description);
}

std::shared_ptr<const RowChunk> RowChunkBuilder::take()
{
    if (!m_chunk)
        return nullptr;
    m_chunk->m_starts.shrink_to_fit();
    // A chunk closed early (the first screen) keeps no unused room.
    if (m_chunk->m_text.capacity() > m_chunk->m_text.size() + m_target / 8)
        m_chunk->m_text.shrink_to_fit();
    return std::shared_ptr<const RowChunk>(m_chunk.release());
}

bool isValidUtf8(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

QString textOf(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

QString textPrefix(std::string_view utf8, qsizetype maxChars, bool *cut)
{
    // A character takes at most four bytes; decode no further than that many characters need.
    const size_t window = size_t(maxChars) * 4 + 4;
    QString text = textOf(utf8.substr(0, std::min(window, utf8.size())));
    const bool longer = text.size() > maxChars || utf8.size() > window;
    if (text.size() > maxChars) {
        qsizetype end = maxChars;
        // Never half a surrogate pair.
        if (end > 0 && text.at(end - 1).isHighSurrogate())
            --end;
        text.truncate(end);
    }
    if (cut)
        *cut = longer;
    return text;
}

} // namespace pixdock::catalogue
