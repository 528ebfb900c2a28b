#pragma once

#include "controls/ControlUnits.h"

#include <QString>
#include <QWidget>
#include <algorithm>
#include <utility>

// A window layout position in twips, relative to the container: left, top,
// width, height.
struct TwipsRect {
    int Left, Top, Width, Height;
};

// Places a control at its twips position in its parent; a size never goes
// below one pixel.
inline void Place(QWidget *control, const TwipsRect &at)
{
    const QWidget *on = control->parentWidget();
    control->setGeometry(TwipsToPixelsX(at.Left, on), TwipsToPixelsY(at.Top, on),
        std::max(1, TwipsToPixelsX(at.Width, on)), std::max(1, TwipsToPixelsY(at.Height, on)));
}

// Creates a control in parent with its design name as object name, placed
// at its twips position.
template <typename Control, typename... Arguments>
Control *Create(QWidget *parent, const QString &name, const TwipsRect &at, Arguments &&...arguments)
{
    auto *control = new Control(std::forward<Arguments>(arguments)..., parent);
    control->setObjectName(name);
    Place(control, at);
    return control;
}
