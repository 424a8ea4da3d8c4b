#pragma once

#include <QString>

class QWidget;

namespace kelcmd::dialogs {

// The "Select Folder" dialog of the editors that store every item of a list at once. Empty when
// the user cancels.
QString SelectFolder(QWidget* parent);

}  // namespace kelcmd::dialogs
