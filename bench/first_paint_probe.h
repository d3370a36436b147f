#pragma once

// Built into both start-up benchmark programs: at the first paint of the main window, prints
// the monotonic clock (ns) and the peak resident memory so far (VmHWM, KiB), then quits.

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace vanter::bench {

inline long peakResidentKiB() {
    long kib = -1;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, "VmHWM:", 6) == 0) {
                kib = std::strtol(line + 6, nullptr, 10);
                break;
            }
        }
        std::fclose(status);
    }
    return kib;
}

class FirstPaintProbe final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && qobject_cast<QMainWindow*>(widget->window()) != nullptr) {
                seen_ = true;
                // Report once this paint cycle is done, then end the program normally.
                QMetaObject::invokeMethod(
                    qApp,
                    [] {
                        timespec now{};
                        clock_gettime(CLOCK_MONOTONIC, &now);
                        std::printf("%lld %ld\n",
                                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                    peakResidentKiB());
                        std::fflush(stdout);
                        QCoreApplication::quit();
                    },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    bool seen_ = false;
};

} // namespace vanter::bench
