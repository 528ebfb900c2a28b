#pragma once

#include "controls/PropertyTable.h"
#include "util/Colour.h"

#include <QRect>
#include <QSize>
#include <QVector>
#include <cstdint>

// Rectangles are pixel footprints: a shape "from (l, t) to (r, b)" covers
// the pixels l..r-1 and t..b-1.
// The shapes of the face in the pixels of the surface it is drawn on: at
// device pixel ratio r, the surface, the depths and the border are r times
// as many pixels, so the face keeps its logical size and gets r times as
// many steps. Rectangles are pixel footprints as above.
struct FrameGeometry {
    int Width = 0; // surface
    int Height = 0;
    int Depth = 0;  // the shadow's depth: its outlines are numbered 0 to Depth
    int Corner = 0; // corner ellipse of the rounded style, 0 for the plain one
    int Border = 1; // thickness of the frame's outline
    bool Shadow = false;
    bool Rounded = false;

    QSize Size() const { return QSize(Width, Height); }
    // Outline i of the shadow.
    QRect ShadowOutline(int step) const;
    // The frame itself: the whole surface, or Depth narrower and shorter with a shadow.
    QRect FrameRect() const;
    // The blocks of the shadow band whose gaps are smoothed, in walking
    // order, with inclusive pixel bounds (none when the surface is too small).
    QVector<QRect> SmoothingBlocks() const;
};

// The settings of the frame panel with their clamping, and the geometry and
// colours of its drop shadow.
class FrameModel {
public:
    // What the host supplies for the defaults that depend on it.
    struct Host {
        OleColour ContainerBack; // the container's background colour at that moment
    };
    // The persisted properties, in reading and saving order.
    static const PropertyTable<FrameModel, Host> &Properties();

    // containerBack is the container's background colour at that moment.
    void InitProperties(OleColour containerBack);
    void ReadProperties(const PropertyStore &store, OleColour containerBack);
    void WriteProperties(PropertyStore &store, OleColour containerBack) const;

    int32_t FrameStyle() const { return frameStyle; }
    void SetFrameStyle(int32_t v) { frameStyle = v; }
    OleColour FillColour() const { return fillColour; }
    void SetFillColour(OleColour v) { fillColour = v; }
    OleColour BorderColour() const { return borderColour; }
    void SetBorderColour(OleColour v) { borderColour = v; }
    OleColour BackColour() const { return backColour; }
    void SetBackColour(OleColour v) { backColour = v; }
    int32_t BackColourIs() const { return backColourIs; }
    void SetBackColourIs(int32_t v) { backColourIs = v; }
    int16_t CornerDepth() const { return cornerDepth; }
    void SetCornerDepth(int v);
    bool ShowShadow() const { return showShadow; }
    void SetShowShadow(bool v) { showShadow = v; }
    int16_t ShadowDepth() const { return shadowDepth; }
    void SetShadowDepth(int v);
    int16_t ShadowOpacity() const { return shadowOpacity; }
    void SetShadowOpacity(int v);

    // Per channel: a - ((a - b) div steps) x step, div truncating to zero.
    static OleColour Interpolate(OleColour a, OleColour b, int steps, int step);
    // The colour of shadow outline `step` of `steps` (0 darkest) over the background b.
    OleColour ShadowColour(OleColour background, int step, int steps) const;
    // Where the face's shapes lie on a surface of width x height logical
    // pixels drawn at the given device pixel ratio.
    FrameGeometry Geometry(int width, int height, double ratio) const;

private:
    int32_t frameStyle = 0;
    OleColour fillColour = 0;
    OleColour borderColour = 0;
    OleColour backColour = 0;
    int32_t backColourIs = 0;
    int16_t cornerDepth = 0;
    bool showShadow = false;
    int16_t shadowDepth = 0;
    int16_t shadowOpacity = 0;
};
