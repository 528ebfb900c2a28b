#pragma once

#include <QString>
#include <cstdint>

// What the engine shows and asks of its surroundings. The desktop window
// implements it with its widgets, the command-line runner with terminal
// output, tests with a recorder. Every member does nothing by default.
class RunView {
public:
    virtual ~RunView() = default;

    // The overall bar.
    virtual void SetOverallValue(int32_t value) { (void)value; }
    virtual void SetOverallText(const QString &text) { (void)text; }
    // Slot bar i (0..8).
    virtual void SetSlotValue(int slot, int32_t value)
    {
        (void)slot;
        (void)value;
    }
    virtual void SetSlotText(int slot, const QString &text)
    {
        (void)slot;
        (void)text;
    }
    // The number of concurrent downloads was set (the window places the
    // box of slot bars); then the nine bars are cleared one by one.
    virtual void SlotCountSet(int32_t count) { (void)count; }
    // The box that holds the slot bars.
    virtual void ShowSlotBox(bool visible) { (void)visible; }
    // The Run button's caption ("&Run" / "&Stop").
    virtual void SetRunCaption(const QString &caption) { (void)caption; }
    virtual void SetBusyPointer(bool busy) { (void)busy; }
    // A message box with an OK button.
    virtual void ShowMessage(const QString &text) { (void)text; }
    // Lets pending window events run once.
    virtual void ProcessEvents();
    // Whether the left Shift key is held (turns pauses into busy polling).
    virtual bool ShiftHeld() { return false; }
    // The "Reset Log" check box; without a window the setting stands.
    virtual bool ResetLogChecked(bool setting) { return setting; }
};
