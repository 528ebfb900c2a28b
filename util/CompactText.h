#pragma once

#include <QAnyStringView>
#include <QString>

#include <cstdint>
#include <string>

// An unchangeable text in one shared, reference-counted block: one byte a
// character when every character is Latin-1 (URLs, folders and numbers
// nearly always are), two otherwise; a text of ASCII alone is its own UTF-8. The handle is a single pointer, so a
// job table of a million rows with sixteen texts each costs a fraction of
// what three-word QStrings with two-byte characters would.
class CompactText {
public:
    CompactText() = default;
    CompactText(QStringView text);
    CompactText(const QString &text) : CompactText(QStringView(text)) {}
    CompactText(const char *utf8) : CompactText(QString::fromUtf8(utf8)) {}
    CompactText(const CompactText &other) noexcept;
    CompactText(CompactText &&other) noexcept;
    CompactText &operator=(const CompactText &other) noexcept;
    CompactText &operator=(CompactText &&other) noexcept;
    ~CompactText();

    bool isEmpty() const { return size() == 0; }
    qsizetype size() const;
    QAnyStringView view() const;
    QString toString() const;
    operator QString() const { return toString(); }
    void appendTo(QString &out) const;
    void appendUtf8To(std::string &out) const;
    bool contains(QStringView needle, Qt::CaseSensitivity cs) const;
    // Whether both are the one block, as equal texts read from a list are.
    bool isSharedWith(const CompactText &other) const { return block == other.block; }

    friend bool operator==(const CompactText &a, const CompactText &b);
    // Against the other kinds of text, without making a compact copy first.
    friend bool operator==(const CompactText &a, QStringView b) { return QAnyStringView::equal(a.view(), b); }
    friend bool operator==(const CompactText &a, const QString &b) { return a == QStringView(b); }
    friend bool operator==(const CompactText &a, QLatin1StringView b) { return QAnyStringView::equal(a.view(), b); }
    friend bool operator==(const CompactText &a, const char *b) { return QAnyStringView::equal(a.view(), b); }
    friend bool operator==(const QString &a, const CompactText &b) { return b == a; }
    // By UTF-16 code units, as QString orders.
    friend bool operator<(const CompactText &a, const CompactText &b)
    {
        return QAnyStringView::compare(a.view(), b.view()) < 0;
    }
    template <typename Text>
    friend bool operator!=(const CompactText &a, const Text &b)
    {
        return !(a == b);
    }

private:
    struct Block;
    static void Release(Block *block);

    Block *block = nullptr; // null for the empty text
};
