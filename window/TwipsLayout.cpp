#include "window/TwipsLayout.h"

#include <QLineEdit>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace {

// Twips a caption keeps free before the place its text may reach, and
// between a caption and the one it pushes to the right.
constexpr int CaptionGap = 30;
constexpr int PushedGap = 120;
// A line edit leaves a pixel above and below its text inside the frame.
constexpr int LineEditMargin = 1;

// The height a line of the box's font needs with the box's frame and margins.
int LineInBox(const QLineEdit &box)
{
    const int frame = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box) : 0;
    const QMargins text = box.textMargins();
    const QMargins contents = box.contentsMargins();
    return box.fontMetrics().height() + 2 * (frame + LineEditMargin) + text.top() + text.bottom() + contents.top() +
        contents.bottom();
}

} // namespace

void TwipsLayout::Add(QWidget *control, const TwipsRect &at)
{
    entries.push_back(Entry{control, at});
    PlaceEntry(entries.back());
}

void TwipsLayout::GrowsRight(QWidget *caption, int reach, QWidget *after)
{
    if (Entry *entry = Find(caption)) {
        *entry = Entry{caption, entry->At, Growth::Right, reach, after};
        PlaceEntry(*entry);
    }
}

void TwipsLayout::GrowsLeft(QWidget *caption, int reach)
{
    if (Entry *entry = Find(caption)) {
        *entry = Entry{caption, entry->At, Growth::Left, reach, nullptr};
        PlaceEntry(*entry);
    }
}

void TwipsLayout::Update()
{
    scale = Derive();
    for (const Entry &entry : entries)
        PlaceEntry(entry);
}

void TwipsLayout::Place(QWidget *control, const TwipsRect &at) const
{
    control->setGeometry(scale.ToPixels(at, control->parentWidget()));
}

const TwipsLayout::Entry *TwipsLayout::Find(const QWidget *control) const
{
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.Control == control; });
    return found == entries.end() ? nullptr : &*found;
}

TwipsLayout::Entry *TwipsLayout::Find(const QWidget *control)
{
    return const_cast<Entry *>(std::as_const(*this).Find(control));
}

LayoutScale TwipsLayout::Derive() const
{
    LayoutScale needed;
    for (const Entry &entry : entries) {
        if (const auto *box = qobject_cast<const QLineEdit *>(entry.Control))
            needed.HoldDown(LineInBox(*box), entry.At.Height, entry.Control->parentWidget());
        if (entry.Grows != Growth::None)
            HoldCaption(needed, entry);
    }
    return needed;
}

// The caption's text fits between its fixed edge and its reach; with the
// captions that may push it, their texts and gaps fit from the first one's
// left edge.
void TwipsLayout::HoldCaption(LayoutScale &needed, const Entry &caption) const
{
    const QWidget *on = caption.Control->parentWidget();
    double pixels = caption.Control->sizeHint().width();
    if (caption.Grows == Growth::Left) {
        needed.HoldAcross(pixels, caption.At.Left + caption.At.Width - caption.Reach - CaptionGap, on);
        return;
    }
    needed.HoldAcross(pixels, caption.Reach - caption.At.Left - CaptionGap, on);
    int gaps = 0;
    for (const Entry *before = Find(caption.After); before; before = Find(before->After)) {
        pixels += before->Control->sizeHint().width();
        ++gaps;
        needed.HoldAcross(pixels, caption.Reach - before->At.Left - CaptionGap - gaps * PushedGap, on);
    }
}

void TwipsLayout::PlaceEntry(const Entry &entry) const
{
    const QRect designed = scale.ToPixels(entry.At, entry.Control->parentWidget());
    entry.Control->setGeometry(entry.Grows == Growth::None ? designed : CaptionPlace(entry, designed));
}

// As wide as its text needs and at least a line high, kept at its fixed
// edge and around the middle of its design place; pushed right past the
// caption before it on its line.
QRect TwipsLayout::CaptionPlace(const Entry &caption, const QRect &designed) const
{
    const QWidget &control = *caption.Control;
    const int width = std::max(designed.width(), control.sizeHint().width());
    const int height = std::max(designed.height(), control.fontMetrics().height());
    int left = caption.Grows == Growth::Left ? designed.x() + designed.width() - width : designed.x();
    if (const Entry *before = Find(caption.After))
        left = std::max(
            left, before->Control->geometry().right() + 1 + scale.ToPixelsX(PushedGap, control.parentWidget()));
    QRect place(left, designed.y() - (height - designed.height()) / 2, width, height);
    // Two captions one above the other ("Post" over "Process") may need more
    // than their design's height: the lower one starts below the upper one.
    for (const Entry &above : entries) {
        if (&above == &caption)
            break;
        if (above.Grows != Growth::None && above.Control->parentWidget() == control.parentWidget() &&
            above.Control->geometry().intersects(place))
            place.moveTop(above.Control->geometry().bottom() + 1);
    }
    return place;
}
