#pragma once

#include <QEvent>
#include <QObject>
#include <cstdio>
#include <exception>

// The application object, with one guard: an exception that escapes an
// event handler must not unwind through Qt's event loop (that is undefined).
// It is caught here and reported on standard error; the program goes on.
template <typename Base>
class GuardedApplication : public Base {
public:
    GuardedApplication(int &argc, char **argv) : Base(argc, argv) {}

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return Base::notify(receiver, event);
        } catch (const std::exception &failure) {
            std::fprintf(stderr, "tavrin: unexpected failure in an event handler: %s\n", failure.what());
        } catch (...) {
            std::fprintf(stderr, "tavrin: unexpected failure in an event handler\n");
        }
        return true;
    }
};
