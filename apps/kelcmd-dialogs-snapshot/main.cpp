// kelcmd-dialogs-snapshot DIR: opens every dialog of the dialogs library, filled from a simulated
// unit on Com1, and writes each as DIR/<name>.png, so that a person can review them. Without a
// display it uses Qt's offscreen platform. Exit status 1 when a picture is missing or blank.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QWidget>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "dialog_tour.h"
#include "dialogs/bootstrap/application.h"

using namespace kelcmd::dialogs;

namespace {

class Snapshots {
  public:
    explicit Snapshots(QString folder) : folder_(std::move(folder)) {}

    void Take(QWidget& widget, const std::string& name) {
        const QString path = folder_ + "/" + QString::fromStdString(name) + ".png";
        if (!widget.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        paths_.push_back(path);
    }

    // Every picture exists and shows more than a plain background.
    int Check() const {
        int blank = 0;
        for (const QString& path : paths_) {
            const QImage image(path);
            std::set<QRgb> colours;
            for (int y = 0; y < image.height() && colours.size() < 3; y += 2) {
                for (int x = 0; x < image.width() && colours.size() < 3; x += 2) {
                    colours.insert(image.pixel(x, y));
                }
            }
            if (image.isNull() || colours.size() < 3) {
                std::fprintf(stderr, "missing or blank: %s\n", qPrintable(path));
                ++blank;
            }
        }
        return blank;
    }
    size_t Count() const { return paths_.size(); }

  private:
    QString folder_;
    std::vector<QString> paths_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelcmd-dialogs-snapshot DIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (const std::string reason = PrepareGui(); !reason.empty()) {
        std::fprintf(stderr, "kelcmd-dialogs-snapshot: %s\n", reason.c_str());
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Snapshots snapshots(folder);
    if (!VisitEveryDialog(
            [&](QWidget& dialog, const std::string& name) { snapshots.Take(dialog, name); })) {
        std::fprintf(stderr, "cannot open the simulated unit on Com1\n");
        return 1;
    }
    const int blank = snapshots.Check();
    std::printf("wrote %zu snapshots to %s, %d missing or blank\n", snapshots.Count(), argv[1],
                blank);
    return blank == 0 ? 0 : 1;
}
