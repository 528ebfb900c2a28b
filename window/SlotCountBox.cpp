#include "window/SlotCountBox.h"

#include "engine/DownloadSlots.h"
#include "util/Numbers.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {

// The count the box reads from text: the leading number, rounded, when it
// is 1 to 9; 0 when the text is refused.
int32_t SlotCountInText(const QString &text)
{
    const double count = RoundHalfEven(LeadingNumber(text));
    return count >= 1 && count <= DownloadSlots::SlotCount ? static_cast<int32_t>(count) : 0;
}

} // namespace

SlotCountBox::SlotCountBox(QWidget *parent) : QLineEdit(parent)
{
    qApp->installEventFilter(this);
}

SlotCountBox::~SlotCountBox()
{
    qApp->removeEventFilter(this);
}

bool SlotCountBox::Refused() const
{
    return SlotCountInText(text()) == 0;
}

// A shortcut (a button's Alt+letter, Escape for the edit panel) would move
// the focus and act at once: while the text is refused, the box keeps the
// key for itself, where it does nothing.
bool SlotCountBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && Refused()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

bool SlotCountBox::focusNextPrevChild(bool next)
{
    if (Refused())
        return true; // Tab and Backtab stay here
    return QLineEdit::focusNextPrevChild(next);
}

void SlotCountBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    const int32_t count = SlotCountInText(text());
    if (count == 0)
        Refuse();
    else
        Q_EMIT SlotCountEntered(count);
}

// The focus has already gone (a press gives it before anyone sees the
// press): it comes back once the event that took it has been handled.
void SlotCountBox::Refuse()
{
    refusing = true;
    QTimer::singleShot(0, this, &SlotCountBox::TakeFocusBack);
}

void SlotCountBox::TakeFocusBack()
{
    refusing = false;
    setFocus(Qt::OtherFocusReason);
}

bool SlotCountBox::IsMouseButtonEvent(const QEvent *event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

bool SlotCountBox::eventFilter(QObject *watched, QEvent *event)
{
    if (!refusing || !IsMouseButtonEvent(event) || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    return widget != this && widget->window() == window();
}
