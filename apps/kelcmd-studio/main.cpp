// kelcmd-studio [OPTIONS] [DEVICE]: the commissioning cockpit; --help tells all.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "cockpit_snapshot.h"
#include "dialogs/bootstrap/application.h"
#include "studio_options.h"
#include "studio_window.h"

int main(int argc, char** argv) {
    using namespace kelcmd::studio;
    StudioOptions options;
    // Before any window: --help and --version need no display.
    if (const std::string error = ParseStudioOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelcmd-studio: %s\nTry 'kelcmd-studio --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kStudioHelp, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kelcmd-studio %s\n", KELCMD_VERSION);
        return 0;
    }
    const bool snapshot = !options.snapshot.empty();
    if (snapshot && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (const std::string reason = kelcmd::dialogs::PrepareGui(); !reason.empty()) {
        std::fprintf(stderr, "kelcmd-studio: %s\n", reason.c_str());
        return 1;
    }
    QCoreApplication::setOrganizationName("KelCmd");
    QCoreApplication::setApplicationName("kelcmd-studio");
    // A snapshot is no session: it neither uses nor changes what the last session left.
    std::string device = options.device;
    if (device.empty() && !snapshot) device = StudioWindow::LastDevice();
    if (device.empty()) device = kDefaultDevice;
    StudioWindow window(options.port, !snapshot, !snapshot);
    window.show();
    const bool opened = window.OpenPort(device);
    if (snapshot) {
        const int written = WriteCockpitSnapshot(window, options.snapshot);
        return opened ? written : 1;
    }
    return QApplication::exec();
}
