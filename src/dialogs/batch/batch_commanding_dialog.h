#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/batch/auto_repetition.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

namespace kelcmd {
class CBatchCommandStore;
class CKelBatchCommand;
class CKelCommand;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// "Batch Commanding": runs a batch of the store on the dialog's port and slave, once or by
// "Auto Repetition" on a worker that works on its own copy and reports through the event loop.
class BatchCommandingDialog : public QDialog {
    Q_OBJECT
  public:
    BatchCommandingDialog(CBatchCommandStore& store, std::string portName, uint8_t slave,
                          QWidget* parent = nullptr);
    ~BatchCommandingDialog() override;

    void ExecuteBatch();
    // Reads ".kbc" files into the store in turn: a failed file says why and is skipped; a batch
    // whose name the store holds already says so and ends the loading. The last batch is selected.
    void LoadBatches(const QStringList& paths);
    // "&Enter Parameter" and "Show Return Parameter" for the stacked command selected in the list.
    void EnterParameter();
    void ShowReturnParameter();
    CKelBatchCommand* SelectedBatch() const;
    std::string Information() const;
    bool Repeating() const { return repetition_.Running(); }

  protected:
    void done(int result) override;

  private:
    CKelCommand* SelectedMember() const;
    void FillBatches();
    void BatchSelected();
    void TypeChosen(uint32_t type);
    void RefreshStacked();
    void ShowResult(int result, bool withBox);
    void ToggleRepetition(bool on);
    void RunDone(int result);
    void RepetitionEnded(int result);
    void EnableControls(bool enabled);
    void CollectRepetition();

    CBatchCommandStore& store_;
    std::string portName_;
    uint8_t slave_;
    QComboBox* batches_;
    QRadioButton* types_[3];
    QTreeWidget* stacked_;
    QLabel* information_;
    QCheckBox* enterAll_;
    QCheckBox* showAll_;
    QCheckBox* autoRepetition_;
    QSpinBox* delay_;
    QLineEdit* totalTimeout_;
    AutoRepetition repetition_;
    class QTimer* collector_;
};

}  // namespace kelcmd::dialogs
