#include "dialogs/clipboard/qt_command_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "dialogs/bootstrap/application.h"
#include "dialogs/clipboard/command_mime.h"

namespace kelcmd::dialogs {
namespace {

// The clipboard, when this thread may use it; null otherwise.
QClipboard* UsableClipboard() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    if (!OnGuiThread()) return nullptr;
    return QGuiApplication::clipboard();
}

}  // namespace

int QtCommandClipboard::Put(const std::string& format, std::span<const uint8_t> bytes) {
    QClipboard* clipboard = UsableClipboard();
    if (clipboard == nullptr) return 0;
    auto data = std::make_unique<QMimeData>();
    data->setData(CommandMimeType(format.c_str()),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    clipboard->setMimeData(data.release());  // the clipboard owns it now
    return 1;
}

std::optional<std::vector<uint8_t>> QtCommandClipboard::Get(const std::string& format) {
    QClipboard* clipboard = UsableClipboard();
    if (clipboard == nullptr) return std::nullopt;
    const QMimeData* data = clipboard->mimeData();
    const QString type = CommandMimeType(format.c_str());
    if (data == nullptr || !data->hasFormat(type)) return std::nullopt;
    const QByteArray bytes = data->data(type);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace kelcmd::dialogs
