// Opens every dialog of the dialogs library in turn; the windows that the library opens modally
// inside its own code are caught as they appear.
#include "dialog_tour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "api/families.h"
#include "api/recording_readout.h"
#include "command/batch_command_store.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "command/system_parameter_table.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/bootstrap/application.h"
#include "dialogs/customer/customer_command_dialog.h"
#include "dialogs/customer/customer_set_dialog.h"
#include "dialogs/customer/customer_sets_dialog.h"
#include "dialogs/editors/value_editors.h"
#include "dialogs/families/form_table.h"
#include "dialogs/families/unit_text_dialog.h"
#include "dialogs/graph/recorded_data_window.h"
#include "dialogs/parameter_set/parameter_set_dialog.h"
#include "dialogs/ports/communication_dialog.h"
#include "dialogs/ports/entry_dialogs.h"
#include "dialogs/ports/port_table_dialog.h"
#include "dialogs/recorder/recorder_dialogs.h"
#include "dialogs/report/report_window.h"
#include "dialogs/sheet/parameter_sheet_dialog.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/form_dialog.h"
#include "dialogs/tree/execute_command_dialog.h"
#include "dialogs/tree/execute_customer_dialog.h"
#include "kelcmd/kelcmd.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::dialogs {
namespace {

class Tour {
  public:
    explicit Tour(const DialogVisitor& visit) : visit_(visit) {}

    // `keepOpen`: a modal window that the caller goes on with.
    void Show(QWidget& widget, const std::string& name, bool keepOpen = false) {
        widget.show();
        widget.adjustSize();
        QApplication::processEvents();
        visit_(widget, name);
        if (!keepOpen) widget.hide();
    }

  private:
    const DialogVisitor& visit_;
};

void Message(Tour& tour, const std::string& text, const std::string& name) {
    QMessageBox box(QMessageBox::Information, "KelCmd", QString::fromStdString(text),
                    QMessageBox::Ok);
    tour.Show(box, name);
}

// Windows that open modally inside the library's own code: each one is pictured when it appears;
// all but the last are confirmed with "&OK" so that the next one opens, the last is closed.
void ModalWindows(Tour& tour, const std::vector<std::string>& names,
                  const std::function<void()>& open) {
    QTimer timer;
    size_t next = 0;
    QPointer<QWidget> last;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || window == last) return;
        last = window;
        if (next >= names.size()) {  // more windows than expected: closed unpictured
            window->hide();
            return;
        }
        window->adjustSize();
        QApplication::processEvents();
        const bool final = next + 1 == names.size();
        tour.Show(*window, names[next++], !final);
        if (!final) {
            if (auto* ok = window->findChild<QAbstractButton*>("ok")) ok->click();
        }
    });
    timer.start(10);
    open();
}

// The input form, and the result as the unit answered it, of every command with a table entry.
void CommandWindows(Tour& tour) {
    CKelFamilies& families = Families();
    for (CCommandFamily* family : {static_cast<CCommandFamily*>(&families.Status()),
                                   static_cast<CCommandFamily*>(&families.Exception()),
                                   static_cast<CCommandFamily*>(&families.MotionInfo()),
                                   static_cast<CCommandFamily*>(&families.Miscellaneous()),
                                   static_cast<CCommandFamily*>(&families.InputOutput()),
                                   static_cast<CCommandFamily*>(&families.MultiAxes()),
                                   static_cast<CCommandFamily*>(&families.MotionControl()),
                                   static_cast<CCommandFamily*>(&families.SerialIo()),
                                   static_cast<CCommandFamily*>(&families.SystemParameter())}) {
        for (size_t i = 0; i < family->GetPrototypeCount(); ++i) {
            const std::string name = family->GetPrototypeAt(i).GetName();
            const CommandForms* forms = FindCommandForms(name);
            if (forms == nullptr) continue;
            auto command = CopyPrototype(*family, name);
            command->SetPortName("Com1");
            command->SetDestination(1);
            if (forms->editInput) {
                ModalWindows(tour, {name}, [&] { family->EditParameters(*command); });
            } else if (forms->input) {
                FormModel model(*forms->input, FormSide::kSend);
                model.Load(command->Wire());
                FormDialog dialog(model);
                tour.Show(dialog, name);
            }
            const bool hasResult = forms->result || forms->resultMessage || forms->showResult ||
                                   forms->unitText != CommandForms::UnitText::kNone;
            if (!hasResult || name == "ResetSlave") continue;
            if (family->Execute(command.get()) == 0) {
                if (!forms->resultMessage) {
                    std::fprintf(stderr, "%s failed on the simulated unit\n", name.c_str());
                    continue;
                }
                // A read the simulated unit does not serve: its message for an answer of zeros.
                command->Wire().SetValid(true);
            }
            if (forms->showResult) {
                ModalWindows(tour, {name + "-result"}, [&] { family->ShowResults(*command); });
            } else if (forms->result) {
                FormModel model(*forms->result, FormSide::kReturn);
                model.Load(command->Wire());
                FormDialog dialog(model);
                tour.Show(dialog, name + "-result");
            } else if (forms->resultMessage) {
                Message(tour, forms->resultMessage(command->Wire()), name + "-result");
            }
        }
    }
    UnitTextDialog error(UnitTextKind::kError, 23, nullptr);
    tour.Show(error, "ReadError-result");
    UnitTextDialog warning(UnitTextKind::kWarning, 0, nullptr);
    tour.Show(warning, "ReadWarning-result");
    Message(tour, kCommandFailed, "CommandFailed");
}

void PortWindows(Tour& tour) {
    CommunicationState state;
    CommunicationDialog communication(state);
    tour.Show(communication, "Communication");

    CPortSettings closed;
    closed.Set("Com2", 57600, 1, 250, 2);
    Communication().AddClosedPort(closed);
    PortTableActions actions(Communication(), nullptr);
    PortTableDialog table(actions, false);
    table.resize(760, 300);
    tour.Show(table, "CommunicationPortInfoAndTest");
    Communication().RemovePort("Com2");

    EnterDestinationDialog destination(1, 1, 127);
    tour.Show(destination, "EnterDestination");
    EnterPortNameDialog portName({"Com1", "Com2", "Com3"}, "Com1");
    tour.Show(portName, "EnterPortName");
    EnterPortAndDestinationDialog both({"Com1", "Com2", "Com3"}, "Com2", 5, 1, 255);
    tour.Show(both, "EnterPortNameAndDestination");
}

void ValueEditors(Tour& tour) {
    NumberEditorDialog number("positionIs ( LInt )", TYPE_LINT, {0x39, 0x30, 0, 0});
    tour.Show(number, "EditValue-Number");
    BitsEditorDialog bits16("status ( Bits16 )", TYPE_BITS16, {0x11, 0x80});
    tour.Show(bits16, "EditValue-Bits16");
    BitsEditorDialog bits32("mask ( Bits32 )", TYPE_BITS32, {0x01, 0, 0, 0x80});
    tour.Show(bits32, "EditValue-Bits32");
    BoolEditorDialog check("enabled ( Bool )", {1});
    tour.Show(check, "EditValue-Bool");
}

// The dialogs that read, edit and write through their own steps, and each page of the parameter
// sheet.
void ReadEditWriteWindows(Tour& tour) {
    const std::vector<std::pair<std::vector<std::string>, int32_t (*)(const char*, uint8_t)>>
        exports = {
            {{"EditProfile"}, MP_EditProfileDlg},
            {{"EditPosVelocity"}, MP_EditPosVelocityDlg},
            {{"EditCurRegGains"}, MP_EditCurRegGainsDlg},
            {{"EditPosRegGains"}, MP_EditPosRegGainsDlg},
            {{"EditTempParam-choice", "EditTempParam"}, MP_EditTempParamDlg},
            {{"ReadPermanentParam-choice", "ReadPermanentParam-result"}, MP_ReadPermanentParamDlg}};
    for (const auto& [names, dialog] : exports) {
        ModalWindows(tour, names, [dialog] { dialog("Com1", 1); });
    }
    for (const bool extended : {true, false}) {
        ParameterSheetModel model(extended, DefaultSysParamEx());
        ParameterSheetDialog sheet(model,
                                   {"Temporary System Parameter", SheetCaption({}, 1), true});
        auto* pages = sheet.findChild<QTabWidget*>("pages");
        const std::string prefix =
            extended ? "SystemParameterSheet-" : "SystemParameterShortSheet-";
        for (int page = 0; page < pages->count(); ++page) {
            if (!extended && page != kInitialisationPage) continue;
            pages->setCurrentIndex(page);
            tour.Show(sheet, prefix + std::to_string(page));
        }
    }
    Message(tour, kDefaultsSet, "SystemParameterSheet-NoData");
}

// A move recorded by the simulated unit (position must and is, current must and is), shown with
// and without its error graph; the recorder's, autotuning's and structure editor's dialogs.
void RecorderWindows(Tour& tour) {
    SetRegMode(2);
    SetProfile(0, 0.02f, 0.02f);
    SetupRecorder(1, 2, 1);
    MoveRelative(4000, 5000);
    uint8_t finished = 0;
    uint16_t samples = 0;
    uint32_t period = 0;
    for (int i = 0; i < 100 && finished == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (ReadNbOfSamples(&finished, &samples, &period) == 0) break;
    }
    CRecordedData move;
    if (!ReadWholeRecording(&Families().Recording(), "Com1", 1, move)) {
        std::fprintf(stderr, "no recording from the simulated unit\n");
    }
    RecordedDataWindow withErrors(move);
    tour.Show(withErrors, "RecordedData");
    CRecordedData alone = move;
    std::erase_if(alone.Curves(), [](const RecordedCurve& curve) { return curve.signal == 1; });
    RecordedDataWindow standard(alone);
    standard.View().SetGrid(false);
    standard.View().SetDisplayMode(1);
    tour.Show(standard, "RecordedData-standard");

    std::vector<int16_t> polled;
    for (int i = 0; i < 40; ++i) polled.push_back(static_cast<int16_t>((i % 10) * 25));
    RecordedDataWindow samplesWindow(BuildPolledData(40, 1, {{{14, polled.data()}}}));
    tour.Show(samplesWindow, "RecordedData-polled");
    SelectGraphDialog select(GraphKind::kError, nullptr);
    tour.Show(select, "SelectGraph");

    SetupRecorderDialog setup(8, 2, true, nullptr);
    tour.Show(setup, "SetupRecorder");
    InitAutotuneDialog init(2, 1, 202, 1, nullptr);
    tour.Show(init, "InitAutotune");
    SquareCurrentTestDialog square(200, 2000, nullptr);
    tour.Show(square, "SquareCurrentTest");
    for (const char* name : {"RecordData", "ReadRecordedData", "SetPWM", "CheckCRC"}) {
        CCommandFamily& family = std::string(name) == "SetPWM"
                                     ? static_cast<CCommandFamily&>(Families().Autotune())
                                 : std::string(name) == "CheckCRC"
                                     ? static_cast<CCommandFamily&>(Families().UserParameter())
                                     : static_cast<CCommandFamily&>(Families().Recording());
        auto command = CopyPrototype(family, name);
        FormModel model(*FindCommandForms(name)->input, FormSide::kSend);
        model.Load(command->Wire());
        FormDialog dialog(model);
        tour.Show(dialog, name);
    }

    CStructureDefinition axis("AxisSetup", {{"enabled", ELEMENT_BOOL, 1},
                                            {"speed", ELEMENT_WORD, 1},
                                            {"offsets", ELEMENT_LINT, 3},
                                            {"gain", ELEMENT_FLOAT, 1},
                                            {"flags", ELEMENT_BITS8, 1}});
    DefineStructureDialog define(axis, 1023, true, "Define Structure for User-Parameter 1",
                                 nullptr);
    tour.Show(define, "DefineDataStructure");
    AddElementDialog add(nullptr);
    tour.Show(add, "DefineDataStructure-Add");
    CStructureData values(axis, true);
    values.LoadImage(std::vector<uint8_t>{1,    0, 0x03, 0xE8, 0, 0,    0,    10, 0xFF, 0xFF, 0xFF,
                                          0xF6, 0, 0,    0,    0, 0x3F, 0xC0, 0,  0,    0xA5, 0},
                     true);
    StructureDataDialog edit(values, true, nullptr);
    tour.Show(edit, "EditDataOf");
}

// A batch "Move and Read" in the store, executed once on the simulated unit, so that its
// statuses and both parameter lists show values.
void AddExecutedBatch(CBatchCommandStore& store) {
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Move and Read");
    auto move = CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    const int32_t target = 5000;
    move->Wire().SetSendValue(0, &target, sizeof target);
    batch->AppendCommand(std::move(move));
    batch->AppendCommand(CopyPrototype(Families().MotionInfo(), "ReadPosition"));
    batch->AppendCommand(CopyPrototype(Families().Status(), "ReadAxisStatus"));
    batch->SetPortName("Com1");
    batch->SetDestination(1);
    batch->SetPortList(store.GetPortList());
    batch->Execute();
    store.Add(batch);
}

// The command tree with one family open, the client command tree, and the report of a command
// executed on the simulated unit.
void CommandTreeWindows(Tour& tour) {
    ExecuteStandardCommandsDialog standard(Families().InOrder(), "Com1", 1);
    standard.Tree().topLevelItem(4)->setExpanded(true);
    tour.Show(standard, "ExecuteCommand");
    ExecuteCustomerCommandsDialog customer(Families().CustomerSets(), "Com1", 1);
    tour.Show(customer, "ExecuteClientCommand");
    auto command = CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    command->SetPortName("Com1");
    command->SetDestination(1);
    Families().MotionControl().Execute(command.get());
    CommandReportWindow report;
    report.ShowCommand(*command);
    tour.Show(report, "CommandReport");
    AddExecutedBatch(Families().BatchStore());
    BatchCommandingDialog batches(Families().BatchStore(), "Com1", 1);
    auto* stacked = batches.findChild<QTreeWidget*>("stacked");
    stacked->setCurrentItem(stacked->topLevelItem(1));  // ReadPosition, with its result
    tour.Show(batches, "BatchCommanding");
    BatchEditorDialog editor(Families().BatchStore().GetBatches(), Families().InOrder(),
                             Families().CustomerSets());
    tour.Show(editor, "DefineKelBatchCommands");
    // With a batch of three stacked commands, as built by "<<" (also by drag and drop or paste).
    BatchEditorDialog positioning({}, Families().InOrder(), Families().CustomerSets());
    positioning.NewBatch("Positioning");
    for (const char* name : {"SetRegMode", "MoveAbsolute", "ReadPosition"}) {
        const auto rows =
            positioning.Available().findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        if (rows.empty()) continue;
        positioning.Available().setCurrentItem(rows.front());
        positioning.AppendSelected();
    }
    tour.Show(positioning, "DefineKelBatchCommands-Stacked");
}

// The customer command set editors, filled with a press maker's set.
void CustomerSetWindows(Tour& tour) {
    CustomerCommandEditor editor(CKelCustomerCommand(), true);
    editor.SetName("StartCycle");
    editor.SetTypeNumber("70");
    editor.AddParameter("cycleCount", TYPE_LWORD, false);
    editor.AddParameter("mode", TYPE_BYTE, false);
    editor.AddParameter("recipe", TYPE_BYTE_ARRAY, false);
    editor.SetStructure(2, CStructureDefinition("recipe", {{"force", ELEMENT_FLOAT, 1},
                                                           {"strokes", ELEMENT_WORD, 4}}));
    editor.AddParameter("started", TYPE_BOOL, true);
    editor.AddParameter("faults", TYPE_BITS16, true);
    CCustomerCommandSets store;
    auto press = std::make_unique<CCustomerCommandSet>("AcmePress");
    press->AddCommand(editor.Result());
    const std::vector<std::pair<std::string, uint8_t>> more = {{"StopCycle", 0x71},
                                                               {"ReadCounters", 0x72}};
    for (const auto& [name, code] : more) {
        auto command = std::make_unique<CKelCustomerCommand>();
        command->SetCommand(name, code, 0, 0);
        press->AddCommand(std::move(command));
    }
    auto lathe = std::make_unique<CCustomerCommandSet>("LatheWorks");
    store.Add(press);
    store.Add(lathe);

    CustomerCommandSetsDialog sets(store);
    tour.Show(sets, "CustomerCommandSets");
    CustomerCommandSetDialog set(*store.GetSets()[0], {"LatheWorks"});
    tour.Show(set, "CustomerCommandSet");
    CustomerCommandDialog command(*store.GetSets()[0]->GetCommands()[0], false);
    tour.Show(command, "CustomerCommand");
    AddParameterDialog add;
    tour.Show(add, "CustomerCommand-Add");
}

// "Enter Parameter" and "Show Return Parameter" of a customer command with a value of every kind.
void ParameterSetWindows(Tour& tour) {
    CParameterList list;
    const auto add = [&list](bool send, const char* name, uint8_t type, uint32_t value,
                             uint32_t size) {
        if (send) {
            list.AddSendParameter(name, type, size);
            list.SetSendValue(list.GetSendCount() - 1u, &value, size);
        } else {
            list.AddReturnParameter(name, type, size);
            list.SetReturnValue(list.GetReturnCount() - 1u, &value, size);
        }
    };
    add(true, "speed", TYPE_WORD, 1000, 2);
    add(true, "forward", TYPE_BOOL, 1, 1);
    add(true, "mode", TYPE_BITS8, 0xA5, 1);
    add(true, "gain", TYPE_FLOAT, 0x3FC00000, 4);
    add(true, "setup", TYPE_BYTE_ARRAY, 0, 4);
    add(false, "position", TYPE_LINT, static_cast<uint32_t>(-123456), 4);
    add(false, "status", TYPE_BITS16, 0x8421, 2);
    add(false, "ready", TYPE_BOOL, 0, 1);
    add(false, "block", TYPE_SYSPARAM, 0, 4);
    list.SetValid(true);
    const std::vector<StructureAttachment> attachments = {
        {CStructureDefinition("Axis", {{"count", ELEMENT_BYTE, 1}, {"speed", ELEMENT_WORD, 1}}),
         4}};
    ParameterSetModel enter(list, ParameterSide::kSend, attachments);
    ParameterSetDialog entering(enter, "Jog ( 0x7A )");
    tour.Show(entering, "EnterParameter");
    ParameterSetModel show(list, ParameterSide::kReturn);
    ParameterSetDialog showing(show, "Jog ( 0x7A )");
    tour.Show(showing, "ShowReturnParameter");
}

}  // namespace

bool VisitEveryDialog(const DialogVisitor& visit) {
    KEB_MapPort("Com1", "sim");
    if (KEB_InitKelBus(19200, "Com1", KEB_RTS_CONTROL, 100, 4) != 0) return false;
    Tour tour(visit);
    CommandWindows(tour);
    PortWindows(tour);
    ValueEditors(tour);
    ReadEditWriteWindows(tour);
    RecorderWindows(tour);
    CommandTreeWindows(tour);
    CustomerSetWindows(tour);
    ParameterSetWindows(tour);
    KEB_CloseKelBusPort("Com1");
    return true;
}

}  // namespace kelcmd::dialogs
