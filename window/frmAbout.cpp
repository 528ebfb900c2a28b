#include "window/frmAbout.h"

#include "app/AppSettings.h"
#include "platform/desktop/Shell.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

frmAbout::frmAbout(const QString &readme, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + ProductName());
    setModal(true);

    auto *name = new QLabel(ProductName(), this);
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    name->setFont(big);

    auto *version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *blurb = new QLabel(QStringLiteral("Batch downloader for numbered file sequences."), this);

    auto *link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(readme.toHtmlEscaped()), this);
    link->setObjectName(QStringLiteral("lblLink"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // The desktop shell opens the link, as it opens the log.
    connect(link, &QLabel::linkActivated, this, [](const QString &target) { ShellOpen(target); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(8);
    for (QWidget *line : {static_cast<QWidget *>(name), static_cast<QWidget *>(version), static_cast<QWidget *>(blurb),
             static_cast<QWidget *>(link)})
        layout->addWidget(line);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString frmAbout::VersionText()
{
    return QStringLiteral("Version: ") + QStringLiteral(TAVRIN_VERSION);
}
