// kelcmd-studio [DEVICE]: the library's dialogs in one window. DEVICE is what port Com1 is mapped
// to: the simulated bus "sim:1,2,3" by default, or a tty such as /dev/ttyUSB0.
// kelcmd-studio --snapshot FILE.png [DEVICE]: writes the window, after the bus scan, as a picture.
#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "dialogs/bootstrap/application.h"
#include "studio_window.h"

int main(int argc, char** argv) {
    int next = 1;
    const char* snapshot = nullptr;
    if (argc > 2 && std::string(argv[1]) == "--snapshot") {
        snapshot = argv[2];
        next = 3;
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    if (const std::string reason = kelcmd::dialogs::PrepareGui(); !reason.empty()) {
        std::fprintf(stderr, "kelcmd-studio: %s\n", reason.c_str());
        return 1;
    }
    const std::string device = argc > next ? argv[next] : "sim:1,2,3";
    StudioWindow window(device);
    const bool opened = window.OpenPort(device);
    window.show();
    if (snapshot != nullptr) {
        if (window.Scanning()) {
            QEventLoop untilScanned;
            QObject::connect(&window, &StudioWindow::ScanFinished, &untilScanned,
                             &QEventLoop::quit);
            untilScanned.exec();
        }
        QApplication::processEvents();
        const bool written = window.grab().save(QString::fromLocal8Bit(snapshot));
        std::printf("%s %s (%d units)\n", written ? "wrote" : "cannot write", snapshot,
                    window.UnitCount());
        return written && opened ? 0 : 1;
    }
    return QApplication::exec();
}
