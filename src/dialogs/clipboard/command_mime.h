#pragma once

#include <QString>
#include <memory>

class QMimeData;

namespace kelcmd {
class CCommand;
class CKelCommand;
class CKelCommunication;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// The MIME type that carries a named clipboard format: "application/x-kelcmd-" + format.
QString CommandMimeType(const char* format);

// The command as the clipboard and drag and drop carry it: its archive bytes under its format's
// MIME type. Null for a command whose class has no format or that cannot be written.
std::unique_ptr<QMimeData> CommandMimeData(const CCommand& command);

// Whether `data` carries a command that a batch may hold (a standard or a customer command).
bool HasMemberMimeData(const QMimeData& data);

// The command that `data` carries (the first of the three formats present), read back and given
// to its owner through the manager. Null when it carries none or its bytes are bad.
std::unique_ptr<CKelCommand> CommandFromMimeData(const QMimeData& data, CKelCommunication* manager);

}  // namespace kelcmd::dialogs
