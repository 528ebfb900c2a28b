#pragma once

#include "engine/RunView.h"

// The command-line front's view: messages go to standard error; the bars
// show nothing.
class ConsoleView : public RunView {
public:
    void ShowMessage(const QString &text) override;
    bool MessageShown() const;

private:
    bool messageShown = false;
};
