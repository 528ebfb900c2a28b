#pragma once

#include "app/AppOptions.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

// The Options dialog: the options both fronts share, shown as they are and
// handed back as chosen when the user presses OK. Modal over the main
// window; it does not block the caller.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    frmOptions(const AppOptions &current, QWidget *parent = nullptr);

    // The options as the dialog shows them.
    AppOptions Chosen() const;

private:
    AppOptions options;
    QSpinBox *TxtUntilMissing = nullptr;
    QCheckBox *ChkSkipExisting = nullptr;
    QSpinBox *TxtRetries = nullptr;
    QSpinBox *TxtWaitMs = nullptr;
};
