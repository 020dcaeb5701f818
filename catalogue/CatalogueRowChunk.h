// Catalogue rows stored compactly: the texts of many rows in one block of UTF-8 bytes, one
// after another, each row found by its offset; no QString per cell. A million rows take little
// more than their text, and a snapshot is a list of such chunks.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace pixdock::catalogue {

// The three texts of a row, as UTF-8 views into a chunk.
struct RowTexts
{
    std::string_view fileName;
    std::string_view location;
    std::string_view description;

    std::string_view column(int column) const;
};

class RowChunk
{
public:
    int rowCount() const { return int(m_starts.size()); }
    RowTexts row(int index) const;
    // Bytes held, for the memory figures.
    size_t bytes() const { return m_text.capacity() + m_starts.capacity() * sizeof(quint32); }

private:
    friend class RowChunkBuilder;
    std::vector<char> m_text;
    // Where each row begins in m_text: three texts, each its length (LEB128) and its bytes.
    std::vector<quint32> m_starts;
};

// Fills chunks of about `targetBytes` each; a row larger than that gets a chunk of its own.
class RowChunkBuilder
{
public:
    explicit RowChunkBuilder(size_t targetBytes = 256 * 1024);

    // Whether the row fits into the chunk being filled (false: take() it first).
    bool fits(size_t textBytes) const;
    void append(std::string_view fileName, std::string_view location, std::string_view description);
    int rowCount() const { return m_chunk ? m_chunk->rowCount() : 0; }
    // The chunk filled so far; the next append starts a new one.
    std::shared_ptr<const RowChunk> take();

private:
    size_t m_target;
    std::unique_ptr<RowChunk> m_chunk;
};

// A text of a row as a QString: whole, or at most `maxChars` characters (decoding no more of a
// long text than that needs).
QString textOf(std::string_view utf8);
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), which every reader decodes alike.
bool isValidUtf8(std::string_view bytes);
QString textPrefix(std::string_view utf8, qsizetype maxChars, bool *cut = nullptr);

} // namespace pixdock::catalogue
