#include "cli/ConsoleView.h"

#include <cstdio>

void ConsoleView::ShowMessage(const QString &text)
{
    messageShown = true;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool ConsoleView::MessageShown() const
{
    return messageShown;
}
