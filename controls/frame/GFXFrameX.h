#pragma once

#include "controls/frame/FrameModel.h"

#include <QImage>
#include <QWidget>

class PropertyStore;
class RoundedShape;
class QPainter;

// A self-drawn panel: a filled rounded or square rectangle with a border and
// an optional soft drop shadow towards the bottom right. Other widgets sit
// on top of it. Every setting change, resize and change of the container's
// background repaints it completely.
class GFXFrameX : public QWidget {
    Q_OBJECT

public:
    explicit GFXFrameX(QWidget *parent = nullptr);

    int32_t FrameStyle() const { return model.FrameStyle(); }
    void SetFrameStyle(int32_t v);
    OleColour FillColour() const { return model.FillColour(); }
    void SetFillColour(OleColour v);
    OleColour BorderColour() const { return model.BorderColour(); }
    void SetBorderColour(OleColour v);
    OleColour BackColour() const { return model.BackColour(); }
    void SetBackColour(OleColour v);
    int32_t BackColourIs() const { return model.BackColourIs(); }
    void SetBackColourIs(int32_t v);
    int16_t CornerDepth() const { return model.CornerDepth(); }
    void SetCornerDepth(int v);
    bool ShowShadow() const { return model.ShowShadow(); }
    void SetShowShadow(bool v);
    int16_t ShadowDepth() const { return model.ShadowDepth(); }
    void SetShadowDepth(int v);
    int16_t ShadowOpacity() const { return model.ShadowOpacity(); }
    void SetShadowOpacity(int v);

    void Refresh();

    void InitProperties();
    void ReadProperties(const PropertyStore &store);
    void WriteProperties(PropertyStore &store) const;

    // The colour the parent paints its background with (the own one without
    // a parent); a system colour while it is the platform's.
    OleColour ContainerBackColour() const;
    // The face as drawn at a device pixel ratio.
    QImage Render(qreal ratio = 1) const;

    // Fills the gaps that nested, unsmoothed rounded outlines leave: within
    // block (inclusive bounds), walked column by column from the left and
    // each column from the top, every pixel of the background colour takes
    // the mean of its four neighbours; replaced pixels count for later ones.
    // Pixels on the image's edge have no full neighbourhood and stay.
    static void SmoothShadow(QImage &image, const QRect &block, QRgb background);

    QSize sizeHint() const override;

Q_SIGNALS:
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Changed(const QString &name);
    // Sets a model property and reports it as changed.
    template <auto Set, class T>
    void Apply(T &&v)
    {
        for (const QString &name : FrameModel::Properties().Apply<Set>(model, std::forward<T>(v)))
            Changed(name);
    }
    void Invalidate();
    OleColour Background() const;
    static void DrawOutline(QPainter &p, const RoundedShape &shape, int thickness, const QColor &colour);
    void DrawFrame(QPainter &p, const FrameGeometry &geometry) const;
    void PaintShadow(QImage &image, const FrameGeometry &geometry, OleColour background) const;

    FrameModel model;
    mutable QImage face;
};
