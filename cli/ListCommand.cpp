#include "cli/ListCommand.h"

#include "startup/AppCore.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {

// A field may hold a lone CR or LF (the file's lines end in CR LF): they
// are printed as the visible control pictures U+240D and U+240A, so that one
// job stays one line of fields.
void MakeOneLine(std::string &line)
{
    const auto picture = [&line](char control, std::string_view utf8) {
        for (size_t at = line.find(control); at != std::string::npos; at = line.find(control, at + utf8.size()))
            line.replace(at, 1, utf8);
    };
    picture('\r', "\u240D");
    picture('\n', "\u240A");
}

// Lines gathered as UTF-8 and handed to the device a large block at a time:
// a list of a million jobs is printed without a write per line. The lines
// are standard strings, whose appends of a few bytes cost next to nothing.
class LinePrinter {
public:
    explicit LinePrinter(QIODevice &device) : out(device) {}
    ~LinePrinter() { Write(); }

    void Print(std::string &line)
    {
        MakeOneLine(line);
        block += line;
        block += '\n';
        if (block.size() >= BlockBytes)
            Write();
    }

private:
    void Write()
    {
        out.write(block.data(), qint64(block.size()));
        block.clear();
    }

    static constexpr size_t BlockBytes = 1024 * 1024;
    QIODevice &out;
    std::string block;
};

// A row's record index and the sixteen fields of that record, TAB between.
void JobLine(const AppCore &app, int32_t row, std::string &line)
{
    const int32_t index = app.LG().ItemData(row);
    const JobRecord &job = app.Jobs().Record(index);
    char digits[16];
    line.assign(digits, std::to_chars(digits, digits + sizeof digits, index).ptr);
    for (int f = 0; f < JobRecord::FieldCount; ++f) {
        line += '\t';
        job.Field(f).appendUtf8To(line);
    }
}

} // namespace

void PrintJobList(const AppCore &app, QIODevice &out)
{
    const AppSettings &settings = app.Settings();
    LinePrinter printer(out);
    std::string line;
    const auto setting = [&](const char *name, const QString &value) {
        line = name + value.toStdString();
        printer.Print(line);
    };
    setting("Separator=", settings.Separator);
    setting("LogFile=", settings.LogFile);
    setting("ResetLog=", settings.ResetLog ? QStringLiteral("1") : QStringLiteral("0"));
    setting("NumDLs=", QString::number(settings.NumDLs));
    for (int32_t row = 0; row < app.LG().ItemCount(); ++row) {
        JobLine(app, row, line);
        printer.Print(line);
    }
}

void PrintJob(const AppCore &app, int32_t row, QIODevice &out)
{
    LinePrinter printer(out);
    std::string line;
    JobLine(app, row, line);
    printer.Print(line);
}
