// The application object the fuzz targets need (widgets, offscreen), made once.
#pragma once

#include <QApplication>

namespace fuzz {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QApplication app(argc, argv);
    }
}

} // namespace fuzz
