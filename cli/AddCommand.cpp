#include "cli/AddCommand.h"

#include "app/JobFromUrl.h"
#include "app/JobListFile.h"
#include "cli/ExitStatus.h"
#include "cli/ListCommand.h"
#include "engine/RunView.h"
#include "startup/AppCore.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

// What loading the list had to say, shown only when the job is not added.
class LoadMessages : public RunView {
public:
    QStringList Shown;
    void ShowMessage(const QString &text) override { Shown << text; }
};

int Refused(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return ExitBadListOrArguments;
}

} // namespace

int AddJobFromUrl(const QString &url, const QString &listFile)
{
    QString message;
    const std::optional<JobRecord> job = JobFromUrl(url, &message);
    if (!job)
        return Refused(message);

    LoadMessages view;
    AppCore app;
    app.SetView(&view);
    app.StartUp(listFile);
    // Start-up falls back to the default list when the one named is missing.
    if (!listFile.trimmed().isEmpty() && app.CommandLineListPath().isEmpty())
        return Refused(QStringLiteral("No job list file ") + listFile);
    if (!view.Shown.isEmpty())
        return Refused(view.Shown.join(u'\n'));

    const int32_t row = app.Jobs().AddJob(*job);
    if (!JobListFile::SaveJobList(app.StartUpListPath(), app.Settings(), app.Jobs(), &message))
        return Refused(message);
    QFile out;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    PrintJob(app, row, out);
    return ExitOk;
}
