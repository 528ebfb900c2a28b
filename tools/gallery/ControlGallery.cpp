// A sheet that shows every variant of the self-drawn controls side by side:
// the ten themes, the text effects, the caption positions, vertical and
// disabled bars, the frame styles with their shadows, and the grids. With --png FILE
// it draws the sheet offscreen into a PNG file and exits.

#include "controls/frame/GFXFrameX.h"
#include "controls/progress/ProgressBar.h"
#include "tools/gallery/GridSheet.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>

class ControlGallery : public QWidget {
public:
    ControlGallery()
    {
        setWindowTitle(QStringLiteral("Tavrin control gallery"));
        auto *columns = new QHBoxLayout(this);
        auto *bars = new QVBoxLayout;
        bars->addLayout(Section(QStringLiteral("Themes 1 to 10 (percentage and text captions)"), ThemeRows()));
        bars->addLayout(Section(QStringLiteral("Text effects 1 to 5, and 0"), EffectRows()));
        bars->addLayout(Section(QStringLiteral("Caption alignments 1 to 9"), AlignmentGrid()));
        bars->addStretch();
        auto *others = new QVBoxLayout;
        others->addLayout(Section(QStringLiteral("Vertical bars, themes 1 to 10"), VerticalRow()));
        others->addLayout(Section(QStringLiteral("Enabled and disabled"), DisabledRow()));
        others->addLayout(Section(QStringLiteral("Frames"), FrameGrid()));
        others->addStretch();
        columns->addLayout(bars);
        columns->addSpacing(16);
        columns->addLayout(others);
        columns->addSpacing(16);
        grids = new GridSheet;
        columns->addWidget(grids, 0, Qt::AlignTop);
    }

    GridSheet *grids = nullptr;

private:
    static QVBoxLayout *Section(const QString &title, QLayout *content)
    {
        auto *section = new QVBoxLayout;
        auto *heading = new QLabel(title);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        section->addWidget(heading);
        section->addLayout(content);
        section->addSpacing(8);
        return section;
    }

    ProgressBar *Bar(int width, int height)
    {
        auto *bar = new ProgressBar(this);
        bar->setFixedSize(width, height);
        return bar;
    }

    static void UseCustomColours(ProgressBar *bar)
    {
        bar->SetPBSCustomeColor1(RGB(255, 128, 0));
        bar->SetPBSCustomeColor2(RGB(70, 70, 110));
    }

    QGridLayout *ThemeRows()
    {
        auto *grid = new QGridLayout;
        for (int theme = 1; theme <= 10; ++theme) {
            grid->addWidget(new QLabel(QStringLiteral("Theme %1").arg(theme)), theme, 0);
            ProgressBar *percent = Bar(240, 17);
            percent->SetTheme(theme);
            percent->SetValue(theme * 10 - 3);
            percent->SetTextStyle(2);
            percent->SetTextEffect(1);
            ProgressBar *text = Bar(240, 24);
            text->SetTheme(theme);
            text->SetValue(theme * 10);
            text->SetText(QStringLiteral("Found 12, Scanned 30 out of 100 Files."));
            if (theme == 10) {
                UseCustomColours(percent);
                UseCustomColours(text);
            }
            grid->addWidget(percent, theme, 1);
            grid->addWidget(text, theme, 2);
        }
        return grid;
    }

    QGridLayout *EffectRows()
    {
        auto *grid = new QGridLayout;
        const int effects[] = {1, 2, 3, 4, 5, 0};
        int row = 0;
        for (int effect : effects) {
            ProgressBar *bar = Bar(240, 26);
            bar->SetTheme(8);
            bar->SetValue(40 + 10 * row);
            bar->SetTextEffect(effect);
            bar->SetTextEffectColor(RGB(255, 255, 255));
            bar->SetTextForeColor(RGB(0, 0, 128));
            bar->SetText(QStringLiteral("TextEffect %1").arg(effect));
            QFont font = bar->TextFont();
            font.setBold(true);
            font.setPointSize(font.pointSize() + 2);
            bar->SetTextFont(font);
            grid->addWidget(bar, row / 2, row % 2);
            ++row;
        }
        return grid;
    }

    QGridLayout *AlignmentGrid()
    {
        auto *grid = new QGridLayout;
        for (int alignment = 1; alignment <= 9; ++alignment) {
            ProgressBar *bar = Bar(160, 46);
            bar->SetTheme(4);
            bar->SetValue(alignment * 11);
            bar->SetTextAlignment(alignment);
            bar->SetText(QStringLiteral("Align %1").arg(alignment));
            // 1-3 run down the left column, 4-6 the middle, 7-9 the right.
            grid->addWidget(bar, (alignment - 1) % 3, (alignment - 1) / 3);
        }
        return grid;
    }

    QHBoxLayout *VerticalRow()
    {
        auto *row = new QHBoxLayout;
        for (int theme = 1; theme <= 10; ++theme) {
            ProgressBar *bar = Bar(24, 130);
            bar->SetOrientations(2);
            bar->SetTheme(theme);
            bar->SetValue(theme * 10);
            bar->SetTextStyle(1);
            bar->SetTextAlignment(6);
            if (theme == 10)
                UseCustomColours(bar);
            row->addWidget(bar);
        }
        row->addStretch();
        return row;
    }

    QGridLayout *DisabledRow()
    {
        auto *grid = new QGridLayout;
        const int themes[] = {3, 8, 10};
        int column = 0;
        for (int theme : themes) {
            for (bool enabled : {true, false}) {
                ProgressBar *bar = Bar(170, 20);
                bar->SetTheme(theme);
                bar->SetValue(60);
                bar->SetTextEffect(2);
                bar->SetTextForeColor(RGB(0, 96, 0));
                bar->SetTextEffectColor(RGB(255, 255, 0));
                if (theme == 10)
                    UseCustomColours(bar);
                bar->SetText(QStringLiteral("Theme %1 %2").arg(theme).arg(enabled ? "enabled" : "disabled"));
                bar->SetEnabled(enabled);
                grid->addWidget(bar, column, enabled ? 0 : 1);
            }
            ++column;
        }
        return grid;
    }

    struct FrameVariant {
        int Style;
        bool Shadow;
        int Depth;
        int Opacity;
        int Corner;
    };

    GFXFrameX *Frame(const FrameVariant &v)
    {
        auto *frame = new GFXFrameX(this);
        frame->setFixedSize(200, 104);
        frame->SetFrameStyle(v.Style);
        frame->SetShowShadow(v.Shadow);
        frame->SetShadowDepth(v.Depth);
        frame->SetShadowOpacity(v.Opacity);
        frame->SetCornerDepth(v.Corner);
        frame->SetFillColour(RGB(250, 250, 244));
        frame->SetBorderColour(RGB(120, 120, 140));
        const QString caption = v.Shadow
            ? QStringLiteral("FrameStyle %1\nShadowDepth %2\nShadowOpacity %3\nCornerDepth %4")
                  .arg(v.Style)
                  .arg(frame->ShadowDepth())
                  .arg(frame->ShadowOpacity())
                  .arg(frame->CornerDepth())
            : QStringLiteral("FrameStyle %1\nno shadow\nCornerDepth %2").arg(v.Style).arg(frame->CornerDepth());
        auto *label = new QLabel(caption, frame);
        label->move(12, 10);
        return frame;
    }

    QGridLayout *FrameGrid()
    {
        const FrameVariant variants[] = {
            {0, false, 5, 50, 10},
            {0, true, 5, 50, 10},
            {0, true, 10, 80, 20},
            {0, true, 20, 30, 30},
            {0, true, 8, 100, 50},
            {1, false, 5, 50, 10},
            {1, true, 5, 50, 10},
            {1, true, 15, 100, 0},
            {2, true, 5, 50, 10},
        };
        auto *grid = new QGridLayout;
        int i = 0;
        for (const FrameVariant &v : variants) {
            grid->addWidget(Frame(v), i / 3, i % 3);
            ++i;
        }
        return grid;
    }
};

namespace {

// The file after "--png", or null when the sheet is to be shown.
const char *PngTarget(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0)
            return argv[i + 1];
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    const char *png = PngTarget(argc, argv);
    if (png && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ControlGallery gallery;
    if (!png) {
        gallery.show();
        gallery.grids->RefreshGrids();
        return app.exec();
    }
    gallery.adjustSize();
    gallery.show();
    QApplication::processEvents();
    gallery.grids->RefreshGrids();
    QApplication::processEvents();
    if (!gallery.grab().save(QString::fromLocal8Bit(png))) {
        std::fprintf(stderr, "Cannot write %s\n", png);
        return 1;
    }
    return 0;
}
