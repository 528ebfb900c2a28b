#include "cli/ListCommand.h"

#include "startup/AppCore.h"

namespace {

// A field may hold a lone CR or LF (the file's lines end in CR LF): they
// are printed as the visible control pictures U+240D and U+240A, so that one
// job stays one line of fields.
QString OneLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QChar(0x240D)).replace(QLatin1Char('\n'), QChar(0x240A));
}

} // namespace

void PrintJobList(const AppCore &app, QTextStream &out)
{
    const AppSettings &settings = app.Settings();
    out << "Separator=" << OneLine(settings.Separator) << '\n'
        << "LogFile=" << OneLine(settings.LogFile) << '\n'
        << "ResetLog=" << (settings.ResetLog ? '1' : '0') << '\n'
        << "NumDLs=" << settings.NumDLs << '\n';
    // A job is put together as one line and handed to the stream once: a
    // list of a million jobs is printed without a stream call per field.
    QString line;
    for (int32_t row = 0; row < app.LG().ItemCount(); ++row) {
        const int32_t index = app.LG().ItemData(row);
        const JobRecord &job = app.Jobs().Record(index);
        line.resize(0);
        for (int f = 0; f < JobRecord::FieldCount; ++f) {
            line += u'\t';
            job.Field(f).appendTo(line);
        }
        out << index << OneLine(line) << '\n';
    }
    out.flush();
}
