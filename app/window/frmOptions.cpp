#include "app/window/frmOptions.h"

#include "app/AppSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

frmOptions::frmOptions(const AppOptions &current, QWidget *parent) : QDialog(parent), options(current)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(ProductName() + QStringLiteral(" Options"));
    setModal(true);

    TxtUntilMissing = new QSpinBox(this);
    TxtUntilMissing->setObjectName(QStringLiteral("TxtUntilMissing"));
    TxtUntilMissing->setRange(0, std::numeric_limits<int32_t>::max());
    TxtUntilMissing->setSpecialValueText(QStringLiteral("Never"));
    TxtUntilMissing->setSuffix(QStringLiteral(" missing files in a row"));
    TxtUntilMissing->setValue(current.UntilMissing);
    TxtUntilMissing->setToolTip(QStringLiteral("A file is missing when the server answers 404 or 410, or sends "
                                               "an HTML page for a file that is not one. Set a generous upper "
                                               "bound and get the files that exist."));

    auto *form = new QFormLayout;
    auto *label = new QLabel(QStringLiteral("Stop a &sequence after"), this);
    label->setBuddy(TxtUntilMissing);
    form->addRow(label, TxtUntilMissing);

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
    return chosen;
}
