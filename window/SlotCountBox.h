#pragma once

#include <QLineEdit>
#include <cstdint>

// The box for the number of concurrent downloads. Its text is judged when
// the user leaves it for another control of the window: a count of 1 to 9
// is handed on through SlotCountEntered; anything else is refused, the
// focus stays in the box, and the click, Tab or shortcut that tried to take
// it does nothing. Leaving the window for another program, or for a popup,
// judges nothing.
class SlotCountBox : public QLineEdit {
    Q_OBJECT

public:
    explicit SlotCountBox(QWidget *parent = nullptr);
    ~SlotCountBox() override;

Q_SIGNALS:
    void SlotCountEntered(int32_t count);

protected:
    bool event(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Refused() const;
    void Refuse();
    void TakeFocusBack();
    bool IsMouseButtonEvent(const QEvent *event) const;

    // Set from a refused leave until the focus is back: the mouse press that
    // moved the focus away is swallowed, so the control under it does not act.
    bool refusing = false;
};
