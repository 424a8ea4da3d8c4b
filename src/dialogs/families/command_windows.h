#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/toolkit/form_model.h"

namespace kelcmd {
class CKelStandardCommand;
}

namespace kelcmd::dialogs {

using FillFields = std::function<void(std::vector<FieldValue>& values)>;
using TakeFields = std::function<void(const std::vector<FieldValue>& values)>;

// The input form of `command` with fields that no send parameter backs (an empty parameter name):
// a timeout field of that kind shows and sets only the answer timeout; the others are filled by
// `fill` before the window opens and read by `take` after "&OK". 1 on "&OK", 0 on "&Cancel".
int EditCommandForm(const FormLayout& form, CKelStandardCommand& command,
                    const FillFields& fill = nullptr, const TakeFields& take = nullptr);

// A read-only window of labelled texts with "&OK"; each text's field is named after its label.
class TextsDialog : public QDialog {
    Q_OBJECT

  public:
    TextsDialog(const std::string& title,
                const std::vector<std::pair<std::string, std::string>>& rows,
                QWidget* parent = nullptr);
};

int ShowTexts(const std::string& title,
              const std::vector<std::pair<std::string, std::string>>& rows);

}  // namespace kelcmd::dialogs
