#pragma once

#include <QDialog>
#include <QStringList>

#include "dialogs/customer/customer_sets_editing.h"

class QTreeWidget;

namespace kelcmd::dialogs {

// "Customer Command Sets": the list of customer command sets, edited on a copy of a store's list.
// On "&OK" the edited list waits in Editor() for the caller to hand back; "&Cancel" discards it.
class CustomerCommandSetsDialog final : public QDialog {
  public:
    explicit CustomerCommandSetsDialog(const CCustomerCommandSets& store,
                                       QWidget* parent = nullptr);

    QSize sizeHint() const override { return {520, 320}; }
    CustomerSetsEditor& Editor() { return editor_; }
    QTreeWidget& Sets() { return *sets_; }

    // The buttons' actions; messages go through the prompt.
    void AddSet();
    void EditSet(int row);
    void LoadSets(const QStringList& paths);
    void StoreAll(const QString& folder);

  private:
    void Fill(int selectRow);

    CustomerSetsEditor editor_;
    QTreeWidget* sets_;
};

}  // namespace kelcmd::dialogs
