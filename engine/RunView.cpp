#include "engine/RunView.h"

#include <QCoreApplication>

void RunView::ProcessEvents()
{
    QCoreApplication::processEvents();
}
