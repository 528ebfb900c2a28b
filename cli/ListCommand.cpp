#include "cli/ListCommand.h"

#include "startup/AppCore.h"

#include <QStringEncoder>

namespace {

// A field may hold a lone CR or LF (the file's lines end in CR LF): they
// are printed as the visible control pictures U+240D and U+240A, so that one
// job stays one line of fields.
void MakeOneLine(QString &text)
{
    text.replace(QLatin1Char('\r'), QChar(0x240D)).replace(QLatin1Char('\n'), QChar(0x240A));
}

// Lines gathered as UTF-8 and handed to the device a large block at a time:
// a list of a million jobs is printed without a write per line.
class LinePrinter {
public:
    explicit LinePrinter(QIODevice &device) : out(device) {}
    ~LinePrinter() { out.write(block); }

    void Print(QString &line)
    {
        MakeOneLine(line);
        line += u'\n';
        const qsizetype used = block.size();
        block.resize(used + utf8.requiredSpace(line.size()));
        const char *end = utf8.appendToBuffer(block.data() + used, line);
        block.resize(end - block.constData());
        if (block.size() >= BlockBytes) {
            out.write(block);
            block.resize(0);
        }
    }

private:
    static constexpr qsizetype BlockBytes = 1024 * 1024;
    QIODevice &out;
    QStringEncoder utf8{QStringEncoder::Utf8};
    QByteArray block;
};

} // namespace

void PrintJobList(const AppCore &app, QIODevice &out)
{
    const AppSettings &settings = app.Settings();
    LinePrinter printer(out);
    QString line;
    const auto setting = [&](QLatin1StringView name, const QString &value) {
        line = name + value;
        printer.Print(line);
    };
    setting(QLatin1StringView("Separator="), settings.Separator);
    setting(QLatin1StringView("LogFile="), settings.LogFile);
    setting(QLatin1StringView("ResetLog="), settings.ResetLog ? QStringLiteral("1") : QStringLiteral("0"));
    setting(QLatin1StringView("NumDLs="), QString::number(settings.NumDLs));
    for (int32_t row = 0; row < app.LG().ItemCount(); ++row) {
        const int32_t index = app.LG().ItemData(row);
        const JobRecord &job = app.Jobs().Record(index);
        line.setNum(index);
        for (int f = 0; f < JobRecord::FieldCount; ++f) {
            line += u'\t';
            job.Field(f).appendTo(line);
        }
        printer.Print(line);
    }
}
