#include "WindowFixture.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Qt hands a new application font or palette to the windows once its event
// loop runs (exec); a test hands it over itself, as Qt does.
void HandOver(QEvent::Type change)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        QEvent event(change);
        QCoreApplication::sendEvent(window, &event);
    }
}

// The application's font at another size for the life of the object.
class ScopedFontSize {
public:
    explicit ScopedFontSize(double points) : before(QApplication::font())
    {
        if (points <= 0)
            return;
        QFont font = before;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        HandOver(QEvent::ApplicationFontChange);
    }
    ~ScopedFontSize()
    {
        QApplication::setFont(before);
        HandOver(QEvent::ApplicationFontChange);
    }

private:
    QFont before;
};

struct Placed {
    QWidget *Control;
    QRect At;  // in the container's pixels
    int Stack; // higher lies above
};

void AddVisibleChildren(std::vector<Placed> &placed, QWidget *parent, const QWidget *container)
{
    const QObjectList &children = parent->children();
    for (int i = 0; i < children.size(); ++i) {
        auto *control = qobject_cast<QWidget *>(children[i]);
        if (control && !control->isWindow() && control->isVisible())
            placed.push_back({control, QRect(control->mapTo(container, QPoint(0, 0)), control->size()), i});
    }
}

// A control may lie wholly on a sibling below it: the top buttons on the
// banner, the search strip and the OK and Cancel buttons on the edit panel.
bool LiesOn(const Placed &upper, const Placed &lower)
{
    return upper.Control->parentWidget() == lower.Control->parentWidget() && upper.Stack > lower.Stack &&
        lower.At.contains(upper.At);
}

QString Names(const Placed &a, const Placed &b)
{
    return a.Control->objectName() + " / " + b.Control->objectName();
}

// The pairs of visible controls of one container that overlap. The edit
// panel fills its frame, so its controls count as the frame's own; the
// open frame lies over the top of the grid.
QStringList Overlaps(QWidget &window, const QString &containerName)
{
    auto *container = containerName.isEmpty() ? &window : window.findChild<QWidget *>(containerName);
    std::vector<Placed> placed;
    AddVisibleChildren(placed, container, container);
    const auto panel = std::find_if(
        placed.begin(), placed.end(), [](const Placed &p) { return p.Control->objectName() == "EditPanel"; });
    if (panel != placed.end()) {
        QWidget *controls = panel->Control;
        placed.erase(panel);
        AddVisibleChildren(placed, controls, container);
    }
    QStringList found;
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const Placed &a = placed[i], &b = placed[j];
            const bool frameOverGrid = Names(a, b) == "LG / GfxTop" || Names(a, b) == "GfxTop / LG";
            if (a.At.intersects(b.At) && !LiesOn(a, b) && !LiesOn(b, a) && !frameOverGrid)
                found << Names(a, b);
        }
    return found;
}

std::string Overlaps(QWidget &window)
{
    QStringList found;
    for (const char *container : {"", "GfxTop", "picButtom", "Picture2", "picBoxvpDL"})
        found << Overlaps(window, container);
    return found.join(", ").toStdString();
}

// The height a line edit gives its text: its contents inside the frame, less
// the pixel it keeps above and below.
int TextHeightIn(const QLineEdit &box)
{
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    frame.rect = box.rect();
    frame.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &box) : 0;
    const QRect contents = box.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &box);
    return contents.marginsRemoved(box.textMargins()).height() - 2;
}

// The visible boxes too low for a line of their font and the captions too
// small for their text.
std::string CutTexts(QWidget &window)
{
    QStringList found;
    for (QLineEdit *box : window.findChildren<QLineEdit *>())
        if (box->isVisible() && TextHeightIn(*box) < box->fontMetrics().height())
            found << box->objectName();
    for (QWidget *caption : window.findChildren<QWidget *>())
        if (caption->isVisible() && (qobject_cast<QLabel *>(caption) || qobject_cast<QCheckBox *>(caption)) &&
            (caption->width() < caption->sizeHint().width() || caption->height() < caption->fontMetrics().height()))
            found << caption->objectName();
    return found.join(", ").toStdString();
}

class frmMainLayoutTest : public WindowFixture {
protected:
    QString list = SaveList("list.txt", {JobRecord{"1", "a", "http://a/#1#.jpg"}, JobRecord{"1", "b"}});

    static void OpenPanel(TestWindow &shown)
    {
        shown.Core().LG().GotoCell(0, 0);
        shown.BeginEdit();
        ASSERT_TRUE(shown.Editing());
        // The slot bars show while a run goes.
        shown.findChild<QWidget *>("picBoxvpDL")->show();
    }
};

} // namespace

// From a small font to a large one, the window and its open edit panel keep
// every control clear of its neighbours and every text whole. Where the
// design holds the font (the default font, the one Qt picks on a bare X
// server, and smaller) the window keeps its design size.
TEST_F(frmMainLayoutTest, NoControlsOverlapAndNoTextIsCutFromSmallFontsToLargeOnes)
{
    struct Case {
        double points; // 0: the default font
        bool designHolds;
    } cases[] = {{8, true}, {0, true}, {10, false}, {11, false}, {13, false}, {16, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " pt");
        ScopedFontSize size(c.points);
        TestWindow shown;
        shown.StartUp(list);
        shown.show();
        EXPECT_EQ(Overlaps(shown), "");
        EXPECT_EQ(CutTexts(shown), "");
        if (c.designHolds)
            EXPECT_EQ(shown.size(), QSize(752, 495));
        else
            EXPECT_TRUE(shown.width() > 752 && shown.height() > 495);
        OpenPanel(shown);
        EXPECT_EQ(Overlaps(shown), "");
        EXPECT_EQ(CutTexts(shown), "");
    }
}

// A font changed while the program runs lays the window out again, and the
// old font brings the design back (captions take their texts' widths, which
// the job shown in the panel changes).
TEST_F(frmMainLayoutTest, TheWindowFollowsTheFontWhileItRuns)
{
    window.StartUp(list);
    window.show();
    OpenPanel(window);
    std::vector<std::pair<QWidget *, QRect>> design;
    for (QWidget *control : window.findChildren<QWidget *>())
        design.emplace_back(control, control->geometry());
    {
        ScopedFontSize larger(13);
        EXPECT_GT(window.width(), 752);
        EXPECT_GT(window.findChild<QWidget *>("GfxTop")->height(), 3975 / 15);
        EXPECT_EQ(Overlaps(window), "");
        EXPECT_EQ(CutTexts(window), "");
    }
    EXPECT_EQ(window.size(), QSize(752, 495));
    for (const auto &[control, at] : design) {
        const bool caption = qobject_cast<QLabel *>(control) || qobject_cast<QCheckBox *>(control);
        EXPECT_EQ(caption ? QRect(control->pos(), at.size()) : control->geometry(), at)
            << control->objectName().toStdString();
    }
}
