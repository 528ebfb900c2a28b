#include "util/CompactText.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <stdexcept>

struct CompactText::Block {
    std::atomic<uint32_t> refs;
    uint32_t size;
    bool wide; // two bytes a character
    // the characters follow

    const char *Latin1() const { return reinterpret_cast<const char *>(this + 1); }
    const char16_t *Utf16() const { return reinterpret_cast<const char16_t *>(this + 1); }
};

namespace {

constexpr qsizetype LongestText = 0x7FFFFFFF;

bool IsLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

} // namespace

CompactText::CompactText(QStringView text)
{
    if (text.isEmpty())
        return;
    if (text.size() > LongestText)
        throw std::length_error("text too long");
    const bool wide = !IsLatin1(text);
    const size_t bytes = size_t(text.size()) * (wide ? 2 : 1);
    void *memory = ::operator new(sizeof(Block) + bytes);
    block = new (memory) Block{{1}, uint32_t(text.size()), wide};
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

CompactText::CompactText(CompactText &&other) noexcept : block(std::exchange(other.block, nullptr)) {}

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
    if (block && block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        block->~Block();
        ::operator delete(block);
    }
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
