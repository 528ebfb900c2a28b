#pragma once

#include <QDialog>

// The About box: the product's name, its version and a link to the
// program's README, which the desktop opens. Modal over the main window; it
// does not block the caller.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(const QString &readme, QWidget *parent = nullptr);

    static QString VersionText();
};
