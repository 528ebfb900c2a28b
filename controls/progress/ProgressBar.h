#pragma once

#include "controls/progress/ProgressBarModel.h"

#include <QFont>
#include <QImage>
#include <QWidget>

class PropertyStore;
class RoundedShape;
class QPainter;

// A self-drawn progress bar: a rounded face with a two-band shaded track, a
// two-band fill and an optional caption with a text effect. It takes no
// input; every setter stores the (clamped) value, reports the change for
// persistence and schedules a repaint of the whole face.
class ProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget *parent = nullptr);

    int32_t Max() const { return model.Max(); }
    void SetMax(int32_t v);
    int32_t Min() const { return model.Min(); }
    void SetMin(int32_t v);
    int32_t Value() const { return model.Value(); }
    void SetValue(int32_t v);
    int32_t RoundedValue() const { return model.RoundedValue(); }
    void SetRoundedValue(int32_t v);
    bool Enabled() const { return model.Enabled(); }
    void SetEnabled(bool v);
    int32_t Theme() const { return model.Theme(); }
    void SetTheme(int32_t v);
    int32_t TextStyle() const { return model.TextStyle(); }
    void SetTextStyle(int32_t v);
    int32_t Orientations() const { return model.Orientations(); }
    void SetOrientations(int32_t v);
    int32_t TextAlignment() const { return model.TextAlignment(); }
    void SetTextAlignment(int32_t v);
    QString Text() const { return model.Text(); }
    void SetText(const QString &v);
    OleColour TextForeColor() const { return model.TextForeColor(); }
    void SetTextForeColor(OleColour v);
    int32_t TextEffect() const { return model.TextEffect(); }
    void SetTextEffect(int32_t v);
    OleColour TextEffectColor() const { return model.TextEffectColor(); }
    void SetTextEffectColor(OleColour v);
    // The caption font, which is also the control's own font.
    QFont TextFont() const { return font(); }
    void SetTextFont(const QFont &v);
    OleColour PBSCustomeColor1() const { return model.PBSCustomeColor1(); }
    void SetPBSCustomeColor1(OleColour v);
    OleColour PBSCustomeColor2() const { return model.PBSCustomeColor2(); }
    void SetPBSCustomeColor2(OleColour v);

    // Fills the rectangle from (Left, Top) to the right and bottom
    // coordinates (Width, Height) with a two-colour linear gradient,
    // Direction 0 from left to right, 1 from top to bottom.
    void GradientTwoColour(QPainter &hdc, int32_t Direction, OleColour StartColor, OleColour EndColor, int32_t Left,
        int32_t Top, int32_t Width, int32_t Height) const;

    // Persistence through the host's store (the widget's object name is its
    // display name, the inherited font the host's font).
    void InitProperties();
    void ReadProperties(const PropertyStore &store);
    void WriteProperties(PropertyStore &store) const;

    // The face as drawn at a device pixel ratio, transparent outside the
    // rounded shape (where the widget paints nothing on screen).
    QImage Render(qreal ratio = 1) const;
    const ProgressBarModel &Model() const { return model; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Changed(const QString &name);
    // Sets a model property and reports it, and any other it moved, as changed.
    template <auto Set, class T>
    void Apply(T &&v)
    {
        for (const QString &name : ProgressBarModel::Properties().Apply<Set>(model, std::forward<T>(v)))
            Changed(name);
    }
    RoundedShape Face(qreal ratio) const;
    void PaintFace(QPainter &p, qreal ratio) const;
    void PaintTrackAndFill(QPainter &p) const;
    void PaintOutline(QPainter &p, const RoundedShape &face, qreal ratio) const;
    void PaintCaption(QPainter &p) const;
    // A model colour as drawn: system colours looked up, grey when disabled.
    QColor Drawn(OleColour c) const;
    QFont HostFont() const;

    ProgressBarModel model;
};
