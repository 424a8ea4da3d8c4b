#include "dialogs/sheet/parameter_sheet_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

bool InTable(const SheetField& field) {
    return field.group == "ExtParam";
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The object name of a field: its label, with its group or page before it where the label repeats.
QString FieldName(const std::vector<SheetField>& fields, size_t index) {
    const SheetField& field = fields[index];
    int same = 0;
    for (const SheetField& other : fields) same += other.label == field.label ? 1 : 0;
    if (same == 1) return ObjectNameFor(field.label);
    const std::string context = field.group.empty() ? SheetPageTitle(field.page) : field.group;
    return ObjectNameFor(context + " " + field.label);
}

}  // namespace

std::string SheetCaption(const std::string& captionText, int slave) {
    if (!captionText.empty()) return "System Parameter of " + captionText;
    if (slave == 0) return "System Parameter of KEL";
    return "System Parameter of Slave " + std::to_string(slave);
}

ParameterSheetDialog::ParameterSheetDialog(ParameterSheetModel& model, const SheetTexts& texts,
                                           QWidget* parent)
    : QDialog(parent),
      model_(model),
      edits_(model.Fields().size(), nullptr),
      lists_(model.Fields().size(), nullptr),
      checks_(model.Fields().size(), nullptr) {
    setWindowTitle(Q(texts.windowTitle));
    setObjectName("system_parameter_sheet");
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(Q(texts.caption), this);
    caption->setObjectName("sheet_caption");
    QFont font = caption->font();
    font.setBold(true);
    caption->setFont(font);
    layout->addWidget(caption);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("pages");
    tabs->setUsesScrollButtons(false);  // every page's tab in sight
    const int pages = model_.Extended() ? kSheetPageCount : kExtendedPage;
    for (int page = 0; page < pages; ++page) {
        tabs->addTab(BuildPage(page, texts.temporary), SheetPageTitle(page));
    }
    layout->addWidget(tabs);

    AddOkCancelRow(*this, *layout, [this] { TryAccept(); });
    Show();
}

QWidget* ParameterSheetDialog::BuildPage(int page, bool temporary) {
    auto* widget = new QWidget(this);
    auto* layout = new QVBoxLayout(widget);
    auto* caption = new QLabel(temporary ? "Temporary Parameter" : "Permanent Parameter", widget);
    layout->addWidget(caption);

    const std::vector<SheetField>& fields = model_.Fields();
    // Two columns of switches on the configuration pages, one grid elsewhere.
    const bool switches = page == kConfigurationPage || page == kConfiguration2Page;
    auto* plain = new QGridLayout();
    layout->addLayout(plain);
    std::string group;
    QGridLayout* grid = plain;
    int switchCount = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const SheetField& field = fields[i];
        if (field.page != page || InTable(field)) continue;
        if (field.group != group) {
            group = field.group;
            if (group.empty()) {
                grid = plain;
            } else {
                auto* box = new QGroupBox(Q(group), widget);
                grid = new QGridLayout(box);
                layout->addWidget(box);
            }
        }
        if (switches) {
            checks_[i] = new QCheckBox(Q(field.label), widget);
            checks_[i]->setObjectName(FieldName(fields, i));
            plain->addWidget(checks_[i], switchCount % 8, switchCount / 8);
            ++switchCount;
            connect(checks_[i], &QCheckBox::toggled, this, [this, i](bool on) {
                if (!showing_) model_.Texts()[i] = on ? "1" : "0";
            });
            continue;
        }
        AddField(*grid, i);
    }
    if (page == kConfiguration2Page) {
        layout->addWidget(new QLabel(
            "INFO: Error 7 / ERROR_HWCONFIG at startup if hardware does not support overcurrent "
            "disabling!",
            widget));
    }
    if (page == kExtendedPage) {
        tagStatus_ = new QLabel(widget);
        tagStatus_->setObjectName("extend_tag_status");
        layout->addWidget(tagStatus_);
        extParams_ = new QTableWidget(0, 3, widget);
        extParams_->setObjectName("extended_parameters");
        NameField(*extParams_, SheetPageTitle(kExtendedPage));
        extParams_->setHorizontalHeaderLabels({"Name", "Type", "Value"});
        extParams_->verticalHeader()->hide();
        extParams_->horizontalHeader()->setStretchLastSection(true);
        extParams_->setMinimumHeight(200);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (!InTable(fields[i])) continue;
            const int row = extParams_->rowCount();
            extParams_->insertRow(row);
            auto* name = new QTableWidgetItem(Q(fields[i].label));
            name->setFlags(name->flags() & ~Qt::ItemIsEditable);
            auto* type = new QTableWidgetItem("LInt");
            type->setFlags(type->flags() & ~Qt::ItemIsEditable);
            extParams_->setItem(row, 0, name);
            extParams_->setItem(row, 1, type);
            extParams_->setItem(row, 2, new QTableWidgetItem());
            extParams_->item(row, 2)->setData(Qt::UserRole, static_cast<qulonglong>(i));
        }
        connect(extParams_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
            if (showing_ || item->column() != 2) return;
            model_.Texts()[item->data(Qt::UserRole).toULongLong()] = item->text().toStdString();
        });
        layout->addWidget(extParams_);
    }
    layout->addStretch(1);
    auto* defaults = new QPushButton("&Default values ", widget);
    defaults->setObjectName(QString("default_values_%1").arg(page));
    connect(defaults, &QPushButton::clicked, this, [this, page] { PageDefaults(page); });
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    row->addWidget(defaults);
    layout->addLayout(row);
    return widget;
}

void ParameterSheetDialog::AddField(QGridLayout& grid, size_t index) {
    const SheetField& field = model_.Fields()[index];
    const int row = grid.rowCount();
    QWidget* parent = grid.parentWidget();
    const QString name = FieldName(model_.Fields(), index);
    if (field.kind == SheetFieldKind::kCheck) {
        checks_[index] = new QCheckBox(Q(field.label), parent);
        checks_[index]->setObjectName(name);
        grid.addWidget(checks_[index], row, 1, 1, 2);
        connect(checks_[index], &QCheckBox::toggled, this, [this, index](bool on) {
            if (!showing_) model_.Texts()[index] = on ? "1" : "0";
        });
        return;
    }
    auto* label = new QLabel(Q(field.label), parent);
    grid.addWidget(label, row, 0);
    if (field.kind == SheetFieldKind::kList) {
        auto* list = new QComboBox(parent);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setObjectName(name);
        LabelField(*label, *list);
        for (const std::string& choice : field.choices) list->addItem(Q(choice));
        lists_[index] = list;
        grid.addWidget(list, row, 1, 1, 2);
        connect(list, &QComboBox::currentTextChanged, this, [this, index](const QString& text) {
            if (showing_) return;
            model_.Texts()[index] = text.toStdString();
            ShowDependents();
        });
        // A choice from the list is left at once; typed text when the editor loses the focus.
        connect(list, &QComboBox::activated, this, [this, index](int) { Leave(index); });
        connect(list->lineEdit(), &QLineEdit::editingFinished, this,
                [this, index] { Leave(index); });
        return;
    }
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    LabelField(*label, *edit);
    edit->setReadOnly(field.kind == SheetFieldKind::kReadOnly);
    edit->setMinimumWidth(120);
    edits_[index] = edit;
    grid.addWidget(edit, row, 1);
    if (!field.unit.empty()) grid.addWidget(new QLabel(Q(field.unit), parent), row, 2);
    connect(edit, &QLineEdit::textChanged, this, [this, index](const QString& text) {
        if (!showing_) model_.Texts()[index] = text.toStdString();
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, index] { Leave(index); });
    if (field.label == "ExtendTag") {
        auto* reset = new QPushButton("Reset", parent);
        reset->setObjectName("reset_extend_tag");
        grid.addWidget(reset, row, 3);
        connect(reset, &QPushButton::clicked, this, [this, index] {
            model_.Texts()[index] = std::to_string(kValidExtendTag);
            Show();
        });
    }
}

void ParameterSheetDialog::Show() {
    showing_ = true;
    const std::vector<std::string>& texts = model_.Texts();
    for (size_t i = 0; i < texts.size(); ++i) {
        if (edits_[i] != nullptr) edits_[i]->setText(Q(texts[i]));
        if (lists_[i] != nullptr) {
            const int entry = lists_[i]->findText(Q(texts[i]), Qt::MatchExactly);
            lists_[i]->setCurrentIndex(entry);
            lists_[i]->setEditText(Q(texts[i]));
        }
        if (checks_[i] != nullptr) checks_[i]->setChecked(texts[i] == "1");
    }
    if (extParams_ != nullptr) {
        for (int row = 0; row < extParams_->rowCount(); ++row) {
            QTableWidgetItem* item = extParams_->item(row, 2);
            item->setText(Q(texts[item->data(Qt::UserRole).toULongLong()]));
        }
    }
    showing_ = false;
    ShowDependents();
}

void ParameterSheetDialog::ShowDependents() {
    const int threshold = model_.Find(kSpecialPage, "Current threshold for Home");
    if (threshold >= 0 && edits_[threshold] != nullptr) {
        edits_[threshold]->setEnabled(model_.CurrentThresholdEnabled());
    }
    if (tagStatus_ != nullptr) {
        tagStatus_->setText(model_.ExtendTagValid() ? kExtendTagValid : kExtendTagInvalid);
    }
}

void ParameterSheetDialog::Leave(size_t index) {
    if (model_.PulseLengthNeedsQuestion(index)) {
        model_.KeepPulseLength(index, CurrentPrompt().AskYesNo(kPulseQuestion));
    }
    const std::optional<std::string> warning = model_.Leave(index);
    Show();
    if (warning) CurrentPrompt().ShowMessage(*warning);
}

void ParameterSheetDialog::PageDefaults(int page) {
    if (!CurrentPrompt().AskYesNo(kResetQuestion)) return;
    model_.SetPageDefaults(page);
    Show();
}

int ParameterSheetDialog::exec() {
    if (!model_.DataValid()) CurrentPrompt().ShowMessage(kDefaultsSet);
    return QDialog::exec();
}

void ParameterSheetDialog::TryAccept() {
    const std::optional<std::pair<size_t, std::string>> problem = model_.Check();
    Show();
    if (!problem) {
        accept();
        return;
    }
    CurrentPrompt().ShowMessage(problem->second);
    if (QLineEdit* edit = edits_[problem->first]) edit->setFocus();
}

}  // namespace kelcmd::dialogs
