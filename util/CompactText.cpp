#include "util/CompactText.h"

#include "platform/Allocator.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>

struct CompactText::Block {
    std::atomic<uint32_t> refs;
    uint32_t size : 30;
    uint32_t wide : 1;  // two bytes a character
    uint32_t ascii : 1; // one byte a character, each below 128
    uint32_t offset;    // from the start of its chunk; 0 for a block of its own
    // the characters follow

    const char *Latin1() const { return reinterpret_cast<const char *>(this + 1); }
    const char16_t *Utf16() const { return reinterpret_cast<const char16_t *>(this + 1); }
};

namespace {

constexpr qsizetype LongestText = 0x3FFFFFFF;

// The highest character code of a text that is not empty.
char16_t Highest(QStringView text)
{
    return std::max_element(text.begin(), text.end())->unicode();
}

// Texts are carved one after another from chunks, as a list of a million
// jobs makes three million of them at once: one request to the heap per text
// would cost more than the text, and the chunks are backed by large pages. A
// chunk counts its live texts, plus one while it is a thread's current
// chunk, and is given back when the count drops to zero. Chunks start small,
// so a program with a few texts keeps a few pages for them.
struct Chunk {
    std::atomic<uint32_t> live;
    uint32_t used;
    uint32_t capacity;
};

constexpr uint32_t SmallestChunk = 64 * 1024;
constexpr uint32_t LargestChunk = 2 * 1024 * 1024; // a large page
constexpr size_t LargestCarvedText = 16 * 1024;

void Drop(Chunk *chunk)
{
    if (chunk && chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        chunk->~Chunk();
        std::free(chunk);
    }
}

class ChunkCarver {
public:
    ChunkCarver() = default;
    ChunkCarver(const ChunkCarver &) = delete;
    ChunkCarver &operator=(const ChunkCarver &) = delete;
    ~ChunkCarver() { Drop(current); }

    // Room for bytes (a multiple of four) and its offset in the chunk.
    void *Carve(uint32_t bytes, uint32_t &offset)
    {
        if (!current || current->capacity - current->used < bytes)
            StartChunk();
        current->live.fetch_add(1, std::memory_order_relaxed);
        offset = current->used;
        current->used += bytes;
        return reinterpret_cast<char *>(current) + offset;
    }

private:
    void StartChunk()
    {
        Drop(current);
        // Aligned to its size, so that a chunk of a large page is one.
        void *memory = std::aligned_alloc(nextCapacity, nextCapacity);
        if (!memory)
            throw std::bad_alloc();
        AdviseLargePages(memory, nextCapacity);
        current = new (memory) Chunk{{1}, sizeof(Chunk), nextCapacity};
        nextCapacity = std::min(nextCapacity * 2, LargestChunk);
    }

    Chunk *current = nullptr;
    uint32_t nextCapacity = SmallestChunk;
};

thread_local ChunkCarver carver;

} // namespace

CompactText::CompactText(QStringView text)
{
    if (text.isEmpty())
        return;
    if (text.size() > LongestText)
        throw std::length_error("text too long");
    const char16_t highest = Highest(text);
    const bool wide = highest >= 0x100;
    const bool ascii = highest < 0x80;
    const size_t bytes = sizeof(Block) + size_t(text.size()) * (wide ? 2 : 1);
    uint32_t offset = 0;
    void *memory =
        bytes > LargestCarvedText ? ::operator new(bytes) : carver.Carve(uint32_t((bytes + 3) & ~size_t(3)), offset);
    block = new (memory) Block{{1}, uint32_t(text.size()) & 0x3FFFFFFFu, wide, ascii, offset};
    if (wide) {
        std::copy(text.utf16(), text.utf16() + text.size(), reinterpret_cast<char16_t *>(block + 1));
    } else {
        char *out = reinterpret_cast<char *>(block + 1);
        for (const QChar c : text)
            *out++ = char(c.unicode());
    }
}

CompactText::CompactText(const CompactText &other) noexcept : block(other.block)
{
    if (block)
        block->refs.fetch_add(1, std::memory_order_relaxed);
}

CompactText::CompactText(CompactText &&other) noexcept : block(std::exchange(other.block, nullptr))
{
}

CompactText &CompactText::operator=(const CompactText &other) noexcept
{
    CompactText copy(other);
    std::swap(block, copy.block);
    return *this;
}

CompactText &CompactText::operator=(CompactText &&other) noexcept
{
    std::swap(block, other.block);
    return *this;
}

CompactText::~CompactText()
{
    Release(block);
}

void CompactText::Release(Block *block)
{
    if (!block || block->refs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    const uint32_t offset = block->offset;
    block->~Block();
    if (offset == 0)
        ::operator delete(block);
    else
        Drop(reinterpret_cast<Chunk *>(reinterpret_cast<char *>(block) - offset));
}

qsizetype CompactText::size() const
{
    return block ? qsizetype(block->size) : 0;
}

QAnyStringView CompactText::view() const
{
    if (!block)
        return QAnyStringView(u"", 0);
    if (block->wide)
        return QStringView(block->Utf16(), qsizetype(block->size));
    return QLatin1StringView(block->Latin1(), qsizetype(block->size));
}

QString CompactText::toString() const
{
    if (!block)
        return QString();
    if (block->wide)
        return QString(reinterpret_cast<const QChar *>(block->Utf16()), qsizetype(block->size));
    return QString::fromLatin1(block->Latin1(), qsizetype(block->size));
}

void CompactText::appendTo(QString &out) const
{
    if (!block)
        return;
    if (block->wide)
        out.append(QStringView(block->Utf16(), qsizetype(block->size)));
    else
        out.append(QLatin1StringView(block->Latin1(), qsizetype(block->size)));
}

void CompactText::appendUtf8To(std::string &out) const
{
    if (!block)
        return;
    if (block->ascii)
        out.append(block->Latin1(), size_t(block->size));
    else
        out.append(toString().toStdString());
}

bool CompactText::contains(QStringView needle, Qt::CaseSensitivity cs) const
{
    if (!block)
        return needle.isEmpty();
    if (block->wide)
        return QStringView(block->Utf16(), qsizetype(block->size)).contains(needle, cs);
    return QLatin1StringView(block->Latin1(), qsizetype(block->size)).contains(needle, cs);
}

bool operator==(const CompactText &a, const CompactText &b)
{
    return a.block == b.block || QAnyStringView::equal(a.view(), b.view());
}
