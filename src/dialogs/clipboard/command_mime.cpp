#include "dialogs/clipboard/command_mime.h"

#include <QMimeData>
#include <span>
#include <vector>

#include "command/command_clipboard.h"
#include "command/kel_command.h"

namespace kelcmd::dialogs {
namespace {

std::span<const uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

}  // namespace

QString CommandMimeType(const char* format) {
    return QStringLiteral("application/x-kelcmd-") + QString::fromLatin1(format);
}

std::unique_ptr<QMimeData> CommandMimeData(const CCommand& command) {
    const char* format = ClipboardFormatOf(command);
    if (format == nullptr) return nullptr;
    const std::vector<uint8_t> bytes = ClipboardBytes(command);
    if (bytes.empty()) return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setData(CommandMimeType(format), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<qsizetype>(bytes.size())));
    return data;
}

bool HasMemberMimeData(const QMimeData& data) {
    return data.hasFormat(CommandMimeType(kStandardCommandFormat)) ||
           data.hasFormat(CommandMimeType(kCustomerCommandFormat));
}

std::unique_ptr<CKelCommand> CommandFromMimeData(const QMimeData& data,
                                                 CKelCommunication* manager) {
    for (const char* format : kCommandFormats) {
        const QString type = CommandMimeType(format);
        if (data.hasFormat(type))
            return CommandFromClipboardBytes(format, Bytes(data.data(type)), manager);
    }
    return nullptr;
}

}  // namespace kelcmd::dialogs
