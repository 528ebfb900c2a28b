#include "window/frmMenu.h"

#include <QAction>
#include <QMenu>

namespace {

struct Item {
    int16_t Index;
    const char *Caption;
};
// "-" is a separator line.
const Item Items[] = {
    {0, "Edit"},
    {1, "Copy"},
    {2, "Delete"},
    {5, "-"},
    {9, "Execute Post Process"},
    {10, "Browse Ouput"},
    {11, "-"},
    {12, "New Job from Clipboard URL"},
    {13, "Options..."},
};

} // namespace

frmMenu::frmMenu(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmMenu"));
    // A window of its own that is never shown: the parent's show leaves it.
    popUp = new QMenu(QStringLiteral("PopUp"), this);
    popUp->setObjectName(QStringLiteral("mnuPopUp"));
    for (const Item &item : Items) {
        const QString caption = QString::fromLatin1(item.Caption);
        QAction *action = caption == QLatin1String("-") ? popUp->addSeparator() : popUp->addAction(caption);
        action->setObjectName(QStringLiteral("mnuPop(%1)").arg(item.Index));
        const int16_t index = item.Index;
        connect(action, &QAction::triggered, this, [this, index] { Q_EMIT mnuPop_Click(index); });
        items[index] = action;
    }
}

QAction *frmMenu::mnuPop(int16_t Index) const
{
    const auto found = items.find(Index);
    return found == items.end() ? nullptr : found->second;
}

void frmMenu::PopUp(const QPoint &globalPosition)
{
    popUp->popup(globalPosition);
}
