#include "dialogs/structures/structure_dialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "command/command_files.h"
#include "dialogs/editors/value_editors.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

QPushButton* Button(const char* label, QLayout* layout) {
    auto* button = new QPushButton(label);
    button->setObjectName(ObjectNameFor(label));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

QHBoxLayout* OkCancel(QDialog& dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    QPushButton* ok = Button("&OK", row);
    ok->setDefault(true);
    QPushButton* cancel = Button("&Cancel", row);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return row;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

AddElementDialog::AddElementDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Add");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit;
    name_->setObjectName("name");
    count_ = new QLineEdit("1");
    count_->setObjectName("number_of_elements");
    type_ = new QComboBox;
    type_->setObjectName("type");
    for (const OfferedType& offered : OfferedElementTypes()) type_->addItem(offered.text);
    form->addRow("Name", name_);
    form->addRow("Number of Elements", count_);
    form->addRow("Type", type_);
    layout->addLayout(form);
    layout->addLayout(OkCancel(*this));
}

StructureElement AddElementDialog::Element() const {
    const auto& types = OfferedElementTypes();
    const int index = std::clamp(type_->currentIndex(), 0, static_cast<int>(types.size()) - 1);
    return {name_->text().toStdString(), types[static_cast<size_t>(index)].type,
            count_->text().toUInt()};
}

void AddElementDialog::accept() {
    if (name_->text().isEmpty()) {
        CurrentPrompt().ShowMessage("Enter a name!");
        return;
    }
    bool ok = false;
    const uint count = count_->text().toUInt(&ok);
    if (!ok || count == 0 || count > 1023) {
        CurrentPrompt().ShowMessage("Please enter an integer between 1 and 1023.");
        return;
    }
    QDialog::accept();
}

DefineStructureDialog::DefineStructureDialog(CStructureDefinition definition, uint32_t maxSize,
                                             bool aligned, const std::string& title,
                                             QWidget* parent)
    : QDialog(parent), editor_(std::move(definition), maxSize, aligned) {
    setWindowTitle(Q(title));
    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QFormLayout;
    name_ = new QLineEdit(Q(editor_.Definition().GetName()));
    name_->setObjectName("structure_name");
    nameRow->addRow("Structure Name", name_);
    layout->addLayout(nameRow);
    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { editor_.SetName(text.toStdString()); });

    auto* body = new QHBoxLayout;
    list_ = new QTreeWidget;
    layout->addWidget(NewFieldLabel("Structure Definition", *list_));
    list_->setObjectName("structure_definition");
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({"Name", "Type", "Nb", "Length"});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    body->addWidget(list_, 1);
    auto* buttons = new QVBoxLayout;
    connect(Button("&Add", buttons), &QPushButton::clicked, this, [this] {
        AddElementDialog dialog(this);
        if (dialog.exec() == QDialog::Accepted) AddElement(dialog.Element());
    });
    connect(Button("&Delete", buttons), &QPushButton::clicked, this, [this] {
        const int row = SelectedRow();
        if (row < 0) return;
        editor_.Delete(static_cast<size_t>(row));
        Fill(std::min(row, list_->topLevelItemCount() - 2));
    });
    connect(Button("D&elete All", buttons), &QPushButton::clicked, this, [this] {
        editor_.DeleteAll();
        Fill(-1);
    });
    connect(Button("Move &Up", buttons), &QPushButton::clicked, this,
            [this] { MoveSelected(true); });
    connect(Button("Move D&own", buttons), &QPushButton::clicked, this,
            [this] { MoveSelected(false); });
    connect(Button("&Load", buttons), &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, "Load", QString(), "UserParameter Files (*.usp)");
        if (!path.isEmpty()) LoadFile(path.toStdString());
    });
    connect(Button("&Store", buttons), &QPushButton::clicked, this, [this] {
        QString path =
            QFileDialog::getSaveFileName(this, "Store", QString(), "UserParameter Files (*.usp)");
        if (path.isEmpty()) return;
        if (!path.endsWith(".usp")) path += ".usp";
        StoreFile(path.toStdString());
    });
    buttons->addStretch();
    body->addLayout(buttons);
    layout->addLayout(body);
    size_ = new QLabel;
    size_->setObjectName("size");
    layout->addWidget(size_);
    layout->addLayout(OkCancel(*this));
    Fill(0);
    resize(520, 360);
    Tell(editor_.OpeningMessage());
}

void DefineStructureDialog::Tell(const std::string& message) {
    if (!message.empty()) CurrentPrompt().ShowMessage(message);
}

int DefineStructureDialog::SelectedRow() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item == nullptr ? -1 : list_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
}

void DefineStructureDialog::Select(int row) {
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) list_->setCurrentItem(item);
}

void DefineStructureDialog::Fill(int selectRow) {
    list_->clear();
    for (const StructureElement& element : editor_.Definition().GetElements()) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, Q(element.name));
        item->setText(1, ElementTypeName(element.type));
        item->setText(2, QString::number(element.count));
        item->setText(3, QString::number(CStructureDefinition::ElementSize(element)));
    }
    if (name_->text().toStdString() != editor_.Definition().GetName()) {
        name_->setText(Q(editor_.Definition().GetName()));
    }
    size_->setText(QString("Size: %1 of %2 bytes").arg(editor_.Size()).arg(editor_.MaxSize()));
    Select(selectRow);
}

void DefineStructureDialog::AddElement(const StructureElement& element) {
    const std::string message = editor_.Add(element);
    Tell(message);
    if (message.empty()) Fill(list_->topLevelItemCount());
}

void DefineStructureDialog::MoveSelected(bool up) {
    const int row = SelectedRow();
    if (row < 0) return;
    const size_t index = static_cast<size_t>(row);
    const std::string message = up ? editor_.MoveUp(index) : editor_.MoveDown(index);
    Tell(message);
    const int count = list_->topLevelItemCount();
    Fill(message.empty() ? std::clamp(row + (up ? -1 : 1), 0, count - 1) : row);
}

void DefineStructureDialog::LoadFile(const std::string& path) {
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    const std::string message = editor_.Load(std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    Tell(message);
    Fill(0);
}

bool DefineStructureDialog::StoreFile(const std::string& path) {
    return WriteStructureFile(path, editor_.Definition()) == FileStatus::kOk;
}

StructureDataDialog::StructureDataDialog(CStructureData& data, bool editable, QWidget* parent)
    : QDialog(parent), data_(data) {
    const std::string title =
        (editable ? "Edit Data of " : "Show Data of ") + data.GetDefinition().GetName();
    setWindowTitle(Q(title));
    auto* layout = new QVBoxLayout(this);
    list_ = new QTreeWidget;
    list_->setObjectName("values");
    NameField(*list_, Q("Data of " + data.GetDefinition().GetName()));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({"Name", "Type", "Value"});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(list_);
    if (editable) {
        connect(list_, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem* item) { EditRow(list_->indexOfTopLevelItem(item)); });
        auto* row = new QHBoxLayout;
        connect(Button("&Edit", row), &QPushButton::clicked, this,
                [this] { EditRow(list_->indexOfTopLevelItem(list_->currentItem())); });
        row->addStretch();
        layout->addLayout(row);
        layout->addLayout(OkCancel(*this));
    } else {
        auto* row = new QHBoxLayout;
        row->addStretch();
        QPushButton* ok = Button("&OK", row);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addLayout(row);
    }
    Fill();
    resize(460, 380);
}

void StructureDataDialog::Fill() {
    list_->clear();
    items_.clear();
    const auto& elements = data_.GetDefinition().GetElements();
    for (size_t e = 0; e < elements.size(); ++e) {
        for (uint32_t i = 0; i < std::max<uint32_t>(1, elements[e].count); ++i) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, Q(CStructureDefinition::ItemName(elements[e], i)));
            item->setText(1, ElementTypeName(elements[e].type));
            item->setText(2, Q(ItemValueText(elements[e].type, data_.GetRaw(e, i))));
            items_.emplace_back(e, i);
        }
    }
}

bool StructureDataDialog::EditRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= items_.size()) return false;
    const auto [element, item] = items_[static_cast<size_t>(row)];
    const StructureElement& shown = data_.GetDefinition().GetElements()[element];
    std::vector<uint8_t> value = RawToBytes(shown.type, data_.GetRaw(element, item));
    const std::string caption =
        CStructureDefinition::ItemName(shown, item) + " ( " + ElementTypeName(shown.type) + " )";
    if (!EditValue(caption, ValueTypeOfElement(shown.type), value, this)) return false;
    if (!data_.SetRaw(element, item, BytesToRaw(value))) return false;
    Fill();
    if (QTreeWidgetItem* current = list_->topLevelItem(row)) list_->setCurrentItem(current);
    return true;
}

}  // namespace kelcmd::dialogs
