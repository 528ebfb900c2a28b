#pragma once

// The points of the start-up sequence (and of loading a list) where the
// desktop window touches its controls. The headless fronts have no window
// and leave every step empty.
class StartUpWindow {
public:
    virtual ~StartUpWindow() = default;

    // The data folder exists: the window sets its caption and collapses its
    // frame before the job grid is set up.
    virtual void WindowCreated() {}
    // A job list was read (or failed to be): the settings go into the
    // controls that mirror them.
    virtual void SettingsLoaded() {}
    // The grid is filled: the window is ready for a run.
    virtual void StartUpDone() {}
};
