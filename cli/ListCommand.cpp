#include "cli/ListCommand.h"

#include "startup/AppCore.h"

void PrintJobList(const AppCore &app, QTextStream &out)
{
    const AppSettings &settings = app.Settings();
    out << "Separator=" << settings.Separator << '\n'
        << "LogFile=" << settings.LogFile << '\n'
        << "ResetLog=" << (settings.ResetLog ? '1' : '0') << '\n'
        << "NumDLs=" << settings.NumDLs << '\n';
    for (int32_t row = 0; row < app.LG().ItemCount(); ++row) {
        const int32_t index = app.LG().ItemData(row);
        const JobRecord &job = app.Jobs().Record(index);
        out << index;
        for (int f = 0; f < JobRecord::FieldCount; ++f)
            out << '\t' << job.Field(f);
        out << '\n';
    }
    out.flush();
}
