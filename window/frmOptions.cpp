#include "window/frmOptions.h"

#include "app/AppSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace {

// A count from 0 up, where 0 turns the option off and reads as such.
struct CountRange {
    int Most;
    int Step;
    QString Off;
    QString Unit;
};

QSpinBox *CountBox(QWidget *parent, const QString &name, const CountRange &range, int value)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, range.Most);
    box->setSingleStep(range.Step);
    box->setSpecialValueText(range.Off);
    box->setSuffix(range.Unit);
    box->setValue(value);
    return box;
}

} // namespace

frmOptions::frmOptions(const AppOptions &current, QWidget *parent) : QDialog(parent), options(current)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(ProductName() + QStringLiteral(" Options"));
    setModal(true);

    TxtUntilMissing = CountBox(this, QStringLiteral("TxtUntilMissing"),
        {std::numeric_limits<int32_t>::max(), 1, QStringLiteral("Never"), QStringLiteral(" missing files in a row")},
        current.UntilMissing);
    TxtUntilMissing->setToolTip(QStringLiteral("A file is missing when the server answers 404 or 410, or sends "
                                               "an HTML page for a file that is not one. Set a generous upper "
                                               "bound and get the files that exist."));

    ChkSkipExisting = new QCheckBox(QStringLiteral("S&kip files that already exist"), this);
    ChkSkipExisting->setObjectName(QStringLiteral("ChkSkipExisting"));
    ChkSkipExisting->setChecked(current.SkipExisting != 0);
    ChkSkipExisting->setToolTip(QStringLiteral("A file whose name is already in the output folder, and not "
                                               "empty, is not requested again."));

    TxtRetries = CountBox(this, QStringLiteral("TxtRetries"),
        {AppOptions::MostRetries, 1, QStringLiteral("Never"), QStringLiteral(" times")}, current.Retries);
    TxtRetries->setToolTip(QStringLiteral("A download that was refused, reset, timed out or cut short, or "
                                          "answered 408, 429, 500, 502, 503 or 504, is tried again after "
                                          "1, 2, 4 ... seconds, or when the server asks."));

    TxtWaitMs = CountBox(this, QStringLiteral("TxtWaitMs"),
        {AppOptions::LongestWaitMs, 100, QStringLiteral("No wait"), QStringLiteral(" ms")}, current.WaitMs);
    TxtWaitMs->setToolTip(QStringLiteral("At least this long, and up to half as long again, between two "
                                         "requests to one server, however many downloads run at once."));

    auto *form = new QFormLayout;
    const auto addRow = [this, form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("Stop a &sequence after"), TxtUntilMissing);
    form->addRow(ChkSkipExisting);
    addRow(QStringLiteral("&Retry failed downloads"), TxtRetries);
    addRow(QStringLiteral("&Wait between requests to one server"), TxtWaitMs);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

AppOptions frmOptions::Chosen() const
{
    AppOptions chosen = options;
    chosen.UntilMissing = TxtUntilMissing->value();
    chosen.SkipExisting = ChkSkipExisting->isChecked() ? 1 : 0;
    chosen.Retries = TxtRetries->value();
    chosen.WaitMs = TxtWaitMs->value();
    return chosen;
}
