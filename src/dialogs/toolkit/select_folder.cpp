#include "dialogs/toolkit/select_folder.h"

#include <QFileDialog>

namespace kelcmd::dialogs {

QString SelectFolder(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, "Select Folder");
}

}  // namespace kelcmd::dialogs
