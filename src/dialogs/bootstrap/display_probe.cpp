#include "dialogs/bootstrap/display_probe.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QLibraryInfo>
#include <QString>
#include <cstdlib>

namespace kelcmd::dialogs {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Whether Qt can find the platform plugin `name` (libq<name>.so) in its own plugin folder or in one
// of QT_PLUGIN_PATH.
bool PlatformPluginInstalled(const std::string& name) {
    std::string folders = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString();
    const std::string extra = Environment("QT_PLUGIN_PATH");
    if (!extra.empty()) folders += ":" + extra;
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && FileExists(folder + "/platforms/libq" + name + ".so")) return true;
        start = end + 1;
    }
    return false;
}

// Connects to the X server the way the xcb plugin will, through libxcb loaded at run time (the
// plugin depends on it anyway), so that a refused connection is found before Qt aborts on it.
bool XServerAccepts(const std::string& display) {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    bool accepted = false;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(display.c_str(), nullptr);
        if (connection != nullptr) {
            accepted = hasError(connection) == 0;
            disconnect(connection);
        }
    }
    ::dlclose(xcb);
    return accepted;
}

bool WaylandSocketExists(const std::string& display) {
    if (!display.empty() && display.front() == '/') return FileExists(display);
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && FileExists(runtime + "/" + display);
}

PlatformChoice Refuse(std::string reason) {
    return PlatformChoice{false, {}, std::move(reason)};
}

PlatformChoice ChooseRequested(const std::string& requested) {
    // "xcb:option=value;other" asks for the first plugin with options.
    const std::string name = requested.substr(0, requested.find_first_of(":;"));
    if (!PlatformPluginInstalled(name)) {
        return Refuse("the Qt platform plugin '" + name + "' (QT_QPA_PLATFORM) is not installed");
    }
    if (name == "xcb" && !XServerAccepts(Environment("DISPLAY"))) {
        return Refuse("cannot connect to the X display '" + Environment("DISPLAY") + "'");
    }
    if (name.rfind("wayland", 0) == 0 && !WaylandSocketExists(Environment("WAYLAND_DISPLAY"))) {
        return Refuse("no Wayland display '" + Environment("WAYLAND_DISPLAY") + "'");
    }
    return PlatformChoice{true, {}, {}};
}

}  // namespace

PlatformChoice ChoosePlatform() {
    const std::string requested = Environment("QT_QPA_PLATFORM");
    if (!requested.empty()) return ChooseRequested(requested);

    const std::string x = Environment("DISPLAY");
    const std::string wayland = Environment("WAYLAND_DISPLAY");
    if (x.empty() && wayland.empty()) {
        return Refuse(
            "no display available (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset)");
    }
    if (!wayland.empty() && WaylandSocketExists(wayland) && PlatformPluginInstalled("wayland")) {
        return PlatformChoice{true, "wayland", {}};
    }
    if (!x.empty() && PlatformPluginInstalled("xcb") && XServerAccepts(x)) {
        return PlatformChoice{true, "xcb", {}};
    }
    return Refuse(x.empty() ? "no usable Wayland display '" + wayland + "'"
                            : "cannot connect to the X display '" + x + "'");
}

}  // namespace kelcmd::dialogs
