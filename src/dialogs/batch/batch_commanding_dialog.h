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
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QTreeWidget;

namespace kelcmd {
class CBatchCommandStore;
class CKelBatchCommand;
class CKelCommand;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// "Batch Commanding": runs a batch of the store on the dialog's port and slave, once or by
// "Auto Repetition" on a worker that works on its own copy and reports through the event loop.
//
// "Timeout" shows the answer timeout of the selected stacked command and a typed value becomes
// it. "Total Timeout" shows what the batch waits with: computed from its members unless a value
// was typed there; a typed value is fixed on the batch until the field is emptied or the batch
// type changes.
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
    // "&Save" to the chosen path; false when nothing is selected or the file cannot be written.
    bool SaveSelected(const QString& path);
    // "&Enter Parameter" and "Show Return Parameter" for the stacked command selected in the list,
    // and their "All" forms for every stacked command in order.
    void EnterParameter();
    void ShowReturnParameter();
    bool EnterAllParameters();
    bool ShowAllReturnParameters();
    CKelBatchCommand* SelectedBatch() const;
    // The selected stacked command when it has parameters of that side; otherwise null, and the
    // information line says why (nothing while Auto Repetition runs).
    CKelCommand* MemberWithParameters(bool returned);
    CKelCommand* SelectedMember() const;
    std::string Information() const;
    bool Repeating() const { return repetition_.Running(); }

  protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Creates every widget and arranges them (in its own file).
    void BuildLayout();
    void FillBatches(int select = 0);
    void BatchSelected();
    void MemberSelected();
    void TypeChosen(uint32_t type);
    void RefreshStacked();
    void RefreshTimeouts();
    void TakeOverTimeouts();
    void ShowResult(int result, bool withBox);
    void AskSave();
    void DefineBatches();
    void ToggleRepetition(bool on);
    void RunDone(int result);
    void RepetitionEnded(int result);
    void EnableControls(bool enabled);
    void CollectRepetition();

    CBatchCommandStore& store_;
    std::string portName_;
    uint8_t slave_;
    QComboBox* batches_ = nullptr;
    QRadioButton* types_[3] = {};
    QTreeWidget* stacked_ = nullptr;
    QTreeWidget* parameters_ = nullptr;
    QTreeWidget* returns_ = nullptr;
    QLabel* information_ = nullptr;
    QCheckBox* enterAll_ = nullptr;
    QCheckBox* showAll_ = nullptr;
    QCheckBox* autoRepetition_ = nullptr;
    QSpinBox* delay_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QLineEdit* totalTimeout_ = nullptr;
    AutoRepetition repetition_;
    QTimer* collector_;
};

}  // namespace kelcmd::dialogs
