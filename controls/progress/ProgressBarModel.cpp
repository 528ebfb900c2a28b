#include "controls/progress/ProgressBarModel.h"

#include "controls/PropertyStore.h"
#include "util/Numbers.h"

#include <QLocale>
#include <algorithm>
#include <cstdlib>

namespace {

// The fixed themes: the colours of palette indices 0, 2, 4, ... 14 and 16;
// each odd index repeats the even one before it.
struct Rgb {
    int r, g, b;
};
using ThemeColours = std::array<Rgb, 9>;

constexpr std::array<ThemeColours, 9> FixedThemes = {{
    {{{248, 246, 242}, {233, 227, 211}, {226, 215, 182}, {239, 233, 215}, {251, 244, 223}, {239, 213, 133},
        {203, 166, 57}, {237, 224, 187}, {204, 168, 62}}},
    {{{247, 248, 242}, {231, 233, 211}, {222, 226, 182}, {237, 239, 215}, {249, 251, 223}, {230, 239, 133},
        {190, 203, 57}, {233, 237, 187}, {192, 204, 62}}},
    {{{242, 248, 243}, {211, 233, 213}, {182, 226, 186}, {215, 239, 217}, {223, 251, 225}, {133, 239, 142},
        {57, 203, 70}, {187, 237, 191}, {62, 204, 74}}},
    {{{242, 248, 247}, {211, 233, 231}, {182, 226, 222}, {215, 239, 237}, {223, 251, 249}, {133, 239, 230},
        {57, 203, 190}, {187, 237, 233}, {62, 204, 192}}},
    {{{243, 242, 248}, {213, 211, 233}, {186, 182, 226}, {217, 215, 239}, {225, 223, 251}, {142, 133, 239},
        {70, 57, 203}, {191, 187, 237}, {74, 62, 204}}},
    {{{248, 242, 247}, {233, 211, 231}, {226, 182, 222}, {239, 215, 237}, {251, 223, 249}, {239, 133, 230},
        {203, 57, 190}, {237, 187, 233}, {204, 62, 192}}},
    {{{248, 242, 242}, {233, 211, 211}, {226, 182, 182}, {239, 215, 215}, {251, 223, 223}, {239, 133, 133},
        {203, 57, 57}, {237, 187, 187}, {204, 62, 62}}},
    {{{250, 253, 254}, {228, 243, 252}, {199, 230, 249}, {237, 247, 253}, {225, 247, 255}, {67, 208, 255},
        {63, 112, 233}, {63, 226, 246}, {23, 139, 211}}},
    {{{231, 243, 232}, {225, 219, 225}, {179, 189, 179}, {226, 238, 226}, {223, 251, 223}, {108, 255, 108},
        {26, 228, 26}, {217, 244, 217}, {188, 184, 188}}},
}};

// Each pair of palette entries gets the same colour; entry 16 stands alone.
void FillPairs(ProgressBarModel::Palette &out, const std::array<OleColour, 9> &colours)
{
    for (int i = 0; i < 8; ++i) {
        out[2 * i] = colours[i];
        out[2 * i + 1] = colours[i];
    }
    out[16] = colours[8];
}

} // namespace

const PropertyTable<ProgressBarModel, ProgressBarModel::Host> &ProgressBarModel::Properties()
{
    using M = ProgressBarModel;
    using Table = PropertyTable<M, Host>;
    // Max first, then Min against it, then Value against both; a fresh
    // control is set up in the same order.
    static const Table table = {
        Table::Property<&M::Max, &M::SetMax>("Max", 100).SavedAt(2),
        Table::Property<&M::Min, &M::SetMin>("Min", 0).SavedAt(3),
        Table::Property<&M::Value, &M::SetValue>("Value", 50).SavedAt(4),
        Table::Property<&M::RoundedValue, &M::SetRoundedValue>("RoundedValue", 5).SavedAt(5),
        Table::Property<&M::Enabled, &M::SetEnabled>("Enabled", true).SavedAt(6),
        Table::Property<&M::Theme, &M::SetTheme>("Theme", 1).SavedAt(7),
        Table::Property<&M::TextStyle, &M::SetTextStyle>("TextStyle", 1).Fresh(3).SavedAt(8),
        Table::Property<&M::Orientations, &M::SetOrientations>("Orientations", 1).SavedAt(1),
        Table::Property<&M::Text, &M::SetText>("Text", &Host::DisplayName)
            .Fresh(QStringLiteral("Orin ProgressBar"))
            .SaveDefault(QString())
            .SavedAt(12),
        Table::Property<&M::TextEffectColor, &M::SetTextEffectColor>("TextEffectColor", RGB(200, 200, 200))
            .Fresh(RGB(255, 255, 255))
            .SavedAt(13),
        Table::Property<&M::TextEffect, &M::SetTextEffect>("TextEffect", 1).Fresh(5).SavedAt(14),
        Table::Property<&M::TextAlignment, &M::SetTextAlignment>("TextAlignment", 5).SavedAt(11),
        Table::Property<&M::TextFont, &M::SetTextFont>("TextFont", &Host::Font).AlwaysSaved().SavedAt(9),
        Table::Property<&M::TextForeColor, &M::SetTextForeColor>("TextForeColor", 0).SavedAt(10),
        Table::Property<&M::PBSCustomeColor2, &M::SetPBSCustomeColor2>("PBSCustomeColor2", 0).SavedAt(15),
        Table::Property<&M::PBSCustomeColor1, &M::SetPBSCustomeColor1>("PBSCustomeColor1", 0).SavedAt(16),
    };
    return table;
}

// Both start from the zero state, so the clamping of Max, Min and Value
// acts in reading order only.
void ProgressBarModel::InitProperties(const QString &hostFont)
{
    *this = ProgressBarModel();
    Properties().Init(*this, Host{hostFont, QString()});
}

void ProgressBarModel::ReadProperties(const PropertyStore &store, const QString &hostFont, const QString &displayName)
{
    *this = ProgressBarModel();
    Properties().Read(*this, store, Host{hostFont, displayName});
}

void ProgressBarModel::WriteProperties(PropertyStore &store) const
{
    Properties().Write(*this, store, Host());
}

void ProgressBarModel::SetMax(int32_t v)
{
    max = std::max(v, 1);
    if (max <= min)
        max = min + 1;
    if (value > max)
        SetValue(max);
}

void ProgressBarModel::SetMin(int32_t v)
{
    min = v < max ? v : max - 1;
    if (min < 0)
        min = 0;
    if (value < min)
        SetValue(min);
}

void ProgressBarModel::SetValue(int32_t v)
{
    if (v > max)
        v = max;
    if (v < min)
        v = min;
    value = v;
}

void ProgressBarModel::SetTheme(int32_t v)
{
    theme = v;
    RebuildPalette();
}

void ProgressBarModel::SetPBSCustomeColor1(OleColour v)
{
    customColour1 = v;
    RebuildPalette();
}

void ProgressBarModel::SetPBSCustomeColor2(OleColour v)
{
    customColour2 = v;
    RebuildPalette();
}

// The palette depends on nothing but the theme and the two custom colours,
// so rebuilding it when they change gives what a rebuild at every repaint
// gives; an unknown theme keeps the last one.
void ProgressBarModel::RebuildPalette()
{
    ThemePalette(theme, customColour1, customColour2, palette);
}

bool ProgressBarModel::ThemePalette(int32_t theme, OleColour custom1, OleColour custom2, Palette &out)
{
    if (theme >= 1 && theme <= 9) {
        std::array<OleColour, 9> colours{};
        const ThemeColours &fixed = FixedThemes[theme - 1];
        for (int i = 0; i < 9; ++i)
            colours[i] = RGB(fixed[i].r, fixed[i].g, fixed[i].b);
        FillPairs(out, colours);
        return true;
    }
    if (theme == 10) {
        FillPairs(out,
            {Shift(custom2, 180), Shift(custom2, 50), custom2, Shift(custom2, 80), Shift(custom1, 180),
                Shift(custom1, 50), custom1, Shift(custom1, 80), custom2});
        return true;
    }
    return false;
}

OleColour ProgressBarModel::Shift(OleColour c, int d)
{
    const auto moved = [d](int channel) { return std::min(std::abs(channel + d), 255); };
    const int red = static_cast<int>(c % 256);
    const int green = static_cast<int>((c / 256) % 256);
    const int blue = static_cast<int>((c & 0xFF0000) / 65536);
    return RGB(moved(red), moved(green), moved(blue));
}

double ProgressBarModel::Percentage() const
{
    return 100.0 * value / max;
}

int ProgressBarModel::FillLength(int width, int height) const
{
    const int length = orientations == 2 ? height : width;
    return static_cast<int>(RoundHalfEven(length * Percentage() / 100.0));
}

int ProgressBarModel::HalfOf(int length)
{
    return static_cast<int>(RoundHalfEven(length / 2.0));
}

bool ProgressBarModel::HasCaption() const
{
    return textStyle >= 1 && textStyle <= 3 && textEffect >= 1 && textEffect <= 5;
}

QString ProgressBarModel::Caption() const
{
    if (!HasCaption())
        return QString();
    switch (textStyle) {
    case 1:
        return QString::number(value);
    case 2:
        return PercentText(Percentage()) + u'%';
    default:
        return text;
    }
}

QString ProgressBarModel::PercentText(double percentage)
{
    QString digits = QString::number(percentage, 'g', 15);
    digits.replace(u'e', u'E');
    digits.replace(u'.', QLocale().decimalPoint());
    return digits;
}

QPoint ProgressBarModel::CaptionPosition(int width, int height, int tw, int th) const
{
    if (textAlignment < 1 || textAlignment > 9)
        return QPoint(0, 0);
    const int column = (textAlignment - 1) / 3; // left, centre, right
    const int row = (textAlignment - 1) % 3;    // top, middle, bottom
    const double xs[] = {1.0, width / 2.0 - tw / 2.0 - 1, width - tw - 3.0};
    const double ys[] = {0.0, height / 2.0 - th / 2.0 - 1, height - th - 1.0};
    return QPoint(static_cast<int>(RoundHalfEven(xs[column])), static_cast<int>(RoundHalfEven(ys[row])));
}

QVector<ProgressBarModel::CaptionCopy> ProgressBarModel::CaptionCopies() const
{
    const OleColour t = textForeColor;
    const OleColour e = textEffectColor;
    const OleColour g = RGB(128, 128, 128);
    switch (textEffect) {
    case 1:
        return {{0, 0, t}};
    case 2:
        return {{-1, -1, e}, {1, 1, g}, {0, 0, t}};
    case 3:
        return {{1, 1, e}, {-1, 0, g}, {0, 0, t}};
    case 4:
        return {{1, 0, e}, {-1, 0, e}, {0, -1, e}, {0, 1, e}, {0, 0, t}};
    case 5:
        return {{1, 1, e}, {0, 0, t}};
    default:
        return {};
    }
}
