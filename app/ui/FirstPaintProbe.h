#pragma once
// Start-up measurement (scripts/bench.sh): when INFIL_FIRST_PAINT is set in the
// environment, the program prints "first-paint NANOSECONDS" (CLOCK_MONOTONIC,
// the same clock in every process) once its first window has been painted, and
// quits. The launcher that started it subtracts its own start time. Without the
// variable nothing is installed.
//
// The stamp is taken in a call queued from the first paint event: by the time
// the queue reaches it, the whole window has been painted and handed to the
// window system in the same repaint.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace infil::ui {

class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;

    // Installs the probe on the application when the environment asks for it.
    static void installIfAsked(QCoreApplication& app)
    {
        const char* asked = std::getenv("INFIL_FIRST_PAINT");
        if (asked && *asked)
            app.installEventFilter(new FirstPaintProbe(&app));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace infil::ui
