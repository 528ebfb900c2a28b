#include "util/CompactText.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

// Latin-1 texts are held a byte a character and others two; both kinds must
// give back exactly the text they were made from, and compare and order as
// QString does, with each other too.
TEST(CompactText, GivesBackComparesAndOrdersLikeQString)
{
    const QStringList texts = {"", "a", "A", "ab", QString("ab").append(QChar(0)), "é±ÿ", "日本", "a日",
        QString::fromUtf16(u"\U0001F600"), "Ａ", "Z"};
    for (const QString &a : texts) {
        const CompactText compact(a);
        EXPECT_EQ(compact.toString(), a);
        EXPECT_EQ(compact.size(), a.size());
        EXPECT_EQ(compact.isEmpty(), a.isEmpty());
        QString appended = "x";
        compact.appendTo(appended);
        EXPECT_EQ(appended, "x" + a);
        std::string utf8 = "x";
        compact.appendUtf8To(utf8);
        EXPECT_EQ(utf8, "x" + a.toStdString());
        for (const QString &b : texts) {
            EXPECT_EQ(compact == CompactText(b), a == b) << a.toStdString() << " " << b.toStdString();
            EXPECT_EQ(compact == b, a == b);
            EXPECT_EQ(compact < CompactText(b), a < b) << a.toStdString() << " " << b.toStdString();
        }
    }
}

TEST(CompactText, FindsTextInBothKindsIgnoringCaseWhenAsked)
{
    EXPECT_TRUE(CompactText(QString("Gallery Été")).contains(u"ÉTÉ", Qt::CaseInsensitive));
    EXPECT_FALSE(CompactText(QString("Gallery Été")).contains(u"ÉTÉ", Qt::CaseSensitive));
    EXPECT_TRUE(CompactText(QString("東京 Tower")).contains(u"tower", Qt::CaseInsensitive));
    EXPECT_TRUE(CompactText().contains(u"", Qt::CaseSensitive));
    EXPECT_FALSE(CompactText().contains(u"a", Qt::CaseSensitive));
}

// Texts are carved side by side from shared chunks: each must stay whole
// whatever becomes of its neighbours, and a text made on one thread may be
// dropped on another. Several chunks' worth are made, and a text too long
// to be carved.
TEST(CompactText, TextsOutliveTheirNeighboursAcrossChunksAndThreads)
{
    const auto textOf = [](int i) { return QStringLiteral("job %1 é ").arg(i).repeated(1 + i % 7); };
    std::vector<CompactText> kept;
    {
        std::vector<CompactText> made;
        for (int i = 0; i < 100000; ++i)
            made.emplace_back(textOf(i));
        for (int i = 0; i < 100000; i += 3)
            kept.push_back(made[size_t(i)]);
    }
    std::vector<CompactText> fromThread;
    std::thread([&] {
        for (int i = 0; i < 20000; ++i)
            fromThread.emplace_back(textOf(i));
    }).join();
    const QString longText(100000, u'x');
    const CompactText own(longText);

    for (size_t k = 0; k < kept.size(); ++k)
        ASSERT_EQ(kept[k].toString(), textOf(int(k * 3))) << k;
    for (size_t k = 0; k < fromThread.size(); k += 97)
        ASSERT_EQ(fromThread[k].toString(), textOf(int(k))) << k;
    kept.clear();
    fromThread.resize(10);
    EXPECT_EQ(fromThread[9].toString(), textOf(9));
    EXPECT_EQ(own.toString(), longText);
}
