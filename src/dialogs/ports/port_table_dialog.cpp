#include "dialogs/ports/port_table_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"

namespace kelcmd::dialogs {

bool ExecCommunicationDialog(CommunicationState& state, QWidget* parent) {
    CommunicationDialog dialog(state, parent);
    return dialog.exec() == QDialog::Accepted;
}

PortTableDialog::PortTableDialog(PortTableActions& actions, bool readOnly, QWidget* parent)
    : QDialog(parent), actions_(actions) {
    setWindowTitle(tr("Communication Port Info & Test"));
    setObjectName("communication_port_info_test");
    auto* layout = new QHBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setObjectName("ports");
    NameField(*list_, tr("Ports"));
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels({tr("Status"), tr("Port"), tr("Baudrate"), tr("BusControl"),
                            tr("Timeout"), tr("R-Trials")});
    list_->header()->setStretchLastSection(false);
    list_->installEventFilter(this);
    list_->setMinimumSize(520, 220);
    layout->addWidget(list_, 1);

    auto* column = new QVBoxLayout();
    const auto selected = [this] { return SelectedPort(); };
    AddButton(tr("&Add Port"), [this] {
        if (const std::optional<std::string> name = actions_.AddPort()) Refresh(*name);
        list_->setFocus();
    });
    AddButton(tr("&Delete Port"), [this, selected] {
        if (!actions_.DeletePort(selected())) return;
        Refresh();
        if (list_->topLevelItemCount() == 0) return;
        SelectRow(list_->topLevelItemCount() - 1);
        list_->setFocus();
    });
    AddButton(tr("&Configure Port"), [this, selected] {
        const std::string name = selected();
        if (actions_.ConfigurePort(name)) Refresh(name);
        list_->setFocus();
    });
    AddButton(tr("D&elete All Ports"), [this] {
        actions_.DeleteAllPorts();
        Refresh();
    });
    AddButton(tr("&Open Port"), [this, selected] {
        actions_.OpenPort(selected());
        Refresh(selected());
    });
    AddButton(tr("Clo&se Port"), [this, selected] {
        actions_.ClosePort(selected());
        Refresh(selected());
    });
    AddButton(tr("&Test Port"), [this, selected] { actions_.TestPort(selected()); });
    column->addSpacing(4);
    for (const char* name : {"add_port", "delete_port", "configure_port", "delete_all_ports",
                             "open_port", "close_port", "test_port"}) {
        column->addWidget(buttons_.at(name));
    }
    column->addStretch(1);
    QPushButton* exit = AddButton(tr("&Exit"), [this] { accept(); });
    exit->setDefault(true);
    column->addWidget(exit);
    layout->addLayout(column);

    for (const char* name : {"add_port", "delete_port", "configure_port", "delete_all_ports"}) {
        buttons_.at(name)->setEnabled(!readOnly);
    }
    Refresh();
    SelectRow(0);
    list_->setFocus();
}

QPushButton* PortTableDialog::AddButton(const QString& text, const std::function<void()>& action) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    const QString name = ObjectNameFor(text.toStdString());
    button->setObjectName(name);
    buttons_[name.toStdString()] = button;
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

QPushButton* PortTableDialog::Button(const std::string& objectName) const {
    const auto found = buttons_.find(objectName);
    return found != buttons_.end() ? found->second : nullptr;
}

std::string PortTableDialog::SelectedPort() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text(1).toStdString();
}

void PortTableDialog::SelectRow(int row) {
    if (row < 0 || row >= list_->topLevelItemCount()) return;
    QTreeWidgetItem* item = list_->topLevelItem(row);
    // Focused and selected both, as a click would leave it.
    list_->setCurrentItem(item);
    item->setSelected(true);
}

void PortTableDialog::Refresh(const std::string& select) {
    const int previous = list_->currentIndex().row();
    list_->clear();
    int wanted = -1;
    for (const PortState& state : actions_.Ports()) {
        const PortRow row = DescribePort(state);
        auto* item = new QTreeWidgetItem(list_);
        const std::string texts[] = {row.status,     row.port,    row.baudrate,
                                     row.busControl, row.timeout, row.receiveTrials};
        for (int i = 0; i < 6; ++i) item->setText(i, QString::fromStdString(texts[i]));
        if (!select.empty() && PortNamesEqual(row.port, select)) {
            wanted = list_->topLevelItemCount() - 1;
        }
    }
    const int count = list_->topLevelItemCount();
    if (wanted < 0 && count > 0) wanted = std::clamp(previous, 0, count - 1);
    SelectRow(wanted);
}

bool PortTableDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (QPushButton* configure = Button("configure_port"); configure->isEnabled()) {
                configure->click();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PortTableDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void PortTableDialog::SizeColumns() {
    // A sixth of the list each, the bus control names wider and the short columns narrower.
    const int sixth = list_->viewport()->width() / 6;
    const int widths[] = {sixth - 10, sixth - 10, sixth, sixth + 40, sixth - 10, sixth - 10};
    for (int i = 0; i < 6; ++i) list_->setColumnWidth(i, std::max(widths[i], 30));
}

}  // namespace kelcmd::dialogs
