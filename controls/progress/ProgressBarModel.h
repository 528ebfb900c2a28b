#pragma once

#include "controls/PropertyTable.h"
#include "util/Colour.h"

#include <QPoint>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

// The numbers behind the progress bar: its settings with their clamping, the
// 17-colour palette of the theme, and the geometry of fill and caption. The
// widget draws from these; nothing here needs a display.
class ProgressBarModel {
public:
    static constexpr int PaletteSize = 17;
    using Palette = std::array<OleColour, PaletteSize>;

    // One copy of the caption, drawn at (x + Dx, y + Dy) in Colour.
    struct CaptionCopy {
        int Dx;
        int Dy;
        OleColour Colour;
    };

    // A control before its properties are initialised or read: zero bounds
    // and an all-black palette.
    ProgressBarModel() = default;

    // What the host supplies for the defaults that depend on it.
    struct Host {
        QString Font;        // the description of the host's font
        QString DisplayName; // the host's name for this instance
    };
    // The persisted properties, in reading order.
    static const PropertyTable<ProgressBarModel, Host> &Properties();

    // A freshly placed control; hostFont is the description of the host's font.
    void InitProperties(const QString &hostFont);
    void ReadProperties(const PropertyStore &store, const QString &hostFont, const QString &displayName);
    void WriteProperties(PropertyStore &store) const;

    int32_t Max() const { return max; }
    void SetMax(int32_t v);
    int32_t Min() const { return min; }
    void SetMin(int32_t v);
    int32_t Value() const { return value; }
    void SetValue(int32_t v);
    int32_t RoundedValue() const { return roundedValue; }
    void SetRoundedValue(int32_t v) { roundedValue = v; }
    bool Enabled() const { return enabled; }
    void SetEnabled(bool v) { enabled = v; }
    int32_t Theme() const { return theme; }
    void SetTheme(int32_t v);
    int32_t TextStyle() const { return textStyle; }
    void SetTextStyle(int32_t v) { textStyle = v; }
    int32_t Orientations() const { return orientations; }
    void SetOrientations(int32_t v) { orientations = v; }
    int32_t TextAlignment() const { return textAlignment; }
    void SetTextAlignment(int32_t v) { textAlignment = v; }
    QString Text() const { return text; }
    void SetText(const QString &v) { text = v; }
    OleColour TextForeColor() const { return textForeColor; }
    void SetTextForeColor(OleColour v) { textForeColor = v; }
    int32_t TextEffect() const { return textEffect; }
    void SetTextEffect(int32_t v) { textEffect = v; }
    OleColour TextEffectColor() const { return textEffectColor; }
    void SetTextEffectColor(OleColour v) { textEffectColor = v; }
    QString TextFont() const { return textFont; }
    void SetTextFont(const QString &v) { textFont = v; }
    OleColour PBSCustomeColor1() const { return customColour1; }
    void SetPBSCustomeColor1(OleColour v);
    OleColour PBSCustomeColor2() const { return customColour2; }
    void SetPBSCustomeColor2(OleColour v);

    // 100 x Value / Max; Min takes no part in it.
    double Percentage() const;
    // Length of the fill in pixels along the bar's orientation.
    int FillLength(int width, int height) const;
    // Where the track halves meet: half of the length, halves to even.
    static int HalfOf(int length);

    // The palette of the last valid theme (all black before the first).
    const Palette &CurrentPalette() const { return palette; }
    // The palette of theme 1 to 10; false for any other theme.
    static bool ThemePalette(int32_t theme, OleColour custom1, OleColour custom2, Palette &out);
    // Each channel of c moved by d, as an absolute value capped at 255.
    static OleColour Shift(OleColour c, int d);
    // A colour as drawn: its grey while the control is disabled.
    OleColour Shown(OleColour rgb) const { return enabled ? rgb : GreyOf(rgb); }

    // The caption that TextStyle asks for; empty (with HasCaption false)
    // when the style or the effect draws none.
    bool HasCaption() const;
    QString Caption() const;
    // A percentage as text: up to 15 significant digits, no trailing zeros,
    // the user's decimal separator.
    static QString PercentText(double percentage);
    // Top-left corner of a caption of tw x th pixels on a W x H face.
    QPoint CaptionPosition(int width, int height, int tw, int th) const;
    // The copies that TextEffect draws, bottom first; colours unresolved.
    QVector<CaptionCopy> CaptionCopies() const;

private:
    void RebuildPalette();

    int32_t max = 0;
    int32_t min = 0;
    int32_t value = 0;
    int32_t roundedValue = 0;
    bool enabled = false;
    int32_t theme = 0;
    int32_t textStyle = 0;
    int32_t orientations = 0;
    int32_t textAlignment = 0;
    QString text;
    OleColour textForeColor = 0;
    int32_t textEffect = 0;
    OleColour textEffectColor = 0;
    QString textFont;
    OleColour customColour1 = 0;
    OleColour customColour2 = 0;
    Palette palette{};
};
