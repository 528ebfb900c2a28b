#pragma once

#include <QWidget>
#include <cstdint>
#include <map>

class QAction;
class QMenu;

// The hidden form that carries the grid's context menu: mnuPopUp with the
// items mnuPop by index (0 Edit, 1 Copy, 2 Delete, 5 a separator line,
// 9 Execute Post Process, 10 Browse Ouput; then 11 a separator line, 12
// New Job from Clipboard URL, 13 Options...). A chosen item is handed on
// through mnuPop_Click with its index.
class frmMenu : public QWidget {
    Q_OBJECT

public:
    explicit frmMenu(QWidget *parent = nullptr);

    QMenu *mnuPopUp() const { return popUp; }
    // The item at a menu index, or null where the index does not exist.
    QAction *mnuPop(int16_t Index) const;
    // Shows the menu at a point of the screen; the choice comes later.
    void PopUp(const QPoint &globalPosition);

Q_SIGNALS:
    void mnuPop_Click(int16_t Index);

private:
    QMenu *popUp = nullptr;
    std::map<int16_t, QAction *> items;
};
