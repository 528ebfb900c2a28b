#include "app/RowJob.h"

#include "app/PathVariables.h"

int RowJob::Sequences() const
{
    if (Url.indexOf(QStringLiteral("#1#"), 0, Qt::CaseInsensitive) <= 0)
        return 0;
    return Url.indexOf(QStringLiteral("#2#"), 0, Qt::CaseInsensitive) > 0 ? 2 : 1;
}

void RowJob::ResolveFolder(const QString &dataFolder)
{
    Folder = Output;
    ResolveOutputFolder(Folder, dataFolder);
}
