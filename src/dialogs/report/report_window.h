#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/report/command_report.h"

class QComboBox;
class QCheckBox;

namespace kelcmd {
class CCommand;
}

namespace kelcmd::dialogs {

// Paints the report of one command, sized to the report.
class ReportCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit ReportCanvas(QWidget* parent = nullptr);
    ~ReportCanvas() override;
    void SetCommand(std::unique_ptr<CCommand> command);
    const CCommand* Command() const { return command_.get(); }
    void SetOptions(const ReportOptions& options);
    const ReportOptions& Options() const { return options_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Resize();
    std::unique_ptr<CCommand> command_;
    ReportOptions options_;
};

// "Command Report": the report of the last executed command, in a chosen style, and its printing.
class CommandReportWindow : public QDialog {
    Q_OBJECT
  public:
    explicit CommandReportWindow(QWidget* parent = nullptr);
    // Shows a copy of `command` (the window keeps no reference to it).
    void ShowCommand(const CCommand& command);
    const ReportCanvas& Canvas() const { return *canvas_; }

  private:
    void Print();
    void OptionsChanged();
    ReportCanvas* canvas_;
    QComboBox* style_;
    QCheckBox* hexadecimal_;
};

}  // namespace kelcmd::dialogs
