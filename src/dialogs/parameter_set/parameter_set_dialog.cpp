#include "dialogs/parameter_set/parameter_set_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/editors/value_editors.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/enter_key.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

ParameterSetDialog::ParameterSetDialog(ParameterSetModel& model, const std::string& caption,
                                       QWidget* parent)
    : QDialog(parent), model_(model), list_(new QTreeWidget(this)) {
    setWindowTitle(Editable() ? "Enter Parameter" : "Show Return Parameter");
    setObjectName(Editable() ? "enter_parameter" : "show_return_parameter");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Q(caption), this);
    label->setObjectName("caption");
    layout->addWidget(label);

    list_->setObjectName("parameter_set");
    list_->setAccessibleName("Parameter Set");
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({"Name", "Type", "Value"});
    list_->header()->setStretchLastSection(false);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    layout->addWidget(list_);
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { EditRow(list_->indexOfTopLevelItem(item)); });

    if (Editable()) {
        AddOkCancelRow(*this, *layout, [this] { TryAccept(); });
    } else {
        AddOkRow(*this, *layout);
    }
    Fill();
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    list_->setFocus();
    resize(sizeHint());
}

void ParameterSetDialog::Fill() {
    list_->clear();
    for (size_t i = 0; i < model_.Count(); ++i) {
        const ParameterRow& row = *model_.Row(i);
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, Q(row.name));
        item->setText(1, Q(ParameterSetTypeText(row.type)));
        item->setText(2, Q(model_.ValueText(i)));
    }
}

// "Name" takes 8/24 of the list's width, "Type" 4/24, "Value" the rest.
void ParameterSetDialog::FitColumns() {
    const int width = list_->viewport()->width();
    list_->setColumnWidth(0, width * 8 / 24);
    list_->setColumnWidth(1, width * 4 / 24);
    list_->setColumnWidth(2, width - width * 8 / 24 - width * 4 / 24);
}

bool ParameterSetDialog::EditRow(int row) {
    const ParameterRow* edited = row >= 0 ? model_.Row(static_cast<size_t>(row)) : nullptr;
    if (edited == nullptr) return false;
    const auto index = static_cast<size_t>(row);
    bool changed = false;
    if (std::optional<CStructureData> data = model_.StructureOf(index)) {
        StructureDataDialog values(*data, Editable(), this);
        if (values.exec() == QDialog::Accepted && Editable()) {
            changed = model_.SetValue(index, data->GetImage());
        }
    } else if (Editable()) {
        std::vector<uint8_t> value = model_.EditorValue(index);
        const std::string caption =
            edited->name + " ( " + ParameterSetTypeText(edited->type) + " )";
        if (EditValue(caption, edited->type, value, this)) {
            changed = model_.SetValue(index, std::move(value));
        }
    }
    if (changed) Fill();
    list_->setFocus();
    if (QTreeWidgetItem* current = list_->topLevelItem(row)) list_->setCurrentItem(current);
    return changed;
}

void ParameterSetDialog::EditSelected() {
    QTreeWidgetItem* current = list_->currentItem();
    if (current == nullptr || !current->isSelected()) {
        CurrentPrompt().ShowMessage(kNoItemSelected);
        return;
    }
    EditRow(list_->indexOfTopLevelItem(current));
}

void ParameterSetDialog::TryAccept() {
    if (!model_.AllValid()) {
        CurrentPrompt().ShowMessage(kNotAllParametersValid);
        return;
    }
    accept();
}

bool ParameterSetDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) FitColumns();
    // Enter in the list edits the selected row rather than pressing "&OK".
    if (watched == list_ && Editable() && IsEnterKey(event)) {
        EditSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kelcmd::dialogs
