#pragma once

#include "window/LayoutScale.h"
#include "window/TwipsRect.h"

#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

// The controls of the window and its edit panel at their design places in
// twips, and the one layout scale they are placed at.
//
// The scale follows the fonts the controls use: it is the smallest factor,
// at least 1, at which every text box holds a line of its font inside its
// frame, and every caption its whole text in the room the design leaves it
// up to its neighbour. A caption then takes the width its text needs (its
// neighbour's place, scaled, is never reached) and at least a line's height,
// around the middle of its design place.
class TwipsLayout {
public:
    // Creates a control in parent with its design name as object name,
    // placed at its twips position at the current scale.
    template <typename Control, typename... Arguments>
    Control *Create(QWidget *parent, const QString &name, const TwipsRect &at, Arguments &&...arguments)
    {
        auto *control = new Control(std::forward<Arguments>(arguments)..., parent);
        control->setObjectName(name);
        Add(control, at);
        return control;
    }
    // Takes a control that exists already; it is placed at once.
    void Add(QWidget *control, const TwipsRect &at);

    // A caption whose left edge stays; its text may reach right up to the
    // twips x `reach` of its container. After another caption on the same
    // line, it moves right when that one needs its place.
    void GrowsRight(QWidget *caption, int reach, QWidget *after = nullptr);
    // A caption right-aligned to the field it names: its right edge stays
    // and its text may reach left down to the twips x `reach`.
    void GrowsLeft(QWidget *caption, int reach);

    // Derives the scale from the controls' fonts as they are now and places
    // every control at it.
    void Update();
    const LayoutScale &Scale() const { return scale; }
    // Places a control that the window moves itself at a twips position.
    void Place(QWidget *control, const TwipsRect &at) const;

private:
    enum class Growth { None, Right, Left };
    struct Entry {
        QWidget *Control;
        TwipsRect At;
        Growth Grows = Growth::None;
        int Reach = 0;
        QWidget *After = nullptr;
    };

    Entry *Find(const QWidget *control);
    const Entry *Find(const QWidget *control) const;
    LayoutScale Derive() const;
    void HoldCaption(LayoutScale &needed, const Entry &caption) const;
    void PlaceEntry(const Entry &entry) const;
    QRect CaptionPlace(const Entry &caption, const QRect &designed) const;

    std::vector<Entry> entries;
    LayoutScale scale;
};
