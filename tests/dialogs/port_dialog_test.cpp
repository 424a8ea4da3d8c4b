// The port table editor, the "Communication" dialog and the entry dialogs, on the process's port
// table.
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <chrono>
#include <future>

#include "api/communication.h"
#include "api/current_target.h"
#include "dialog_test_support.h"
#include "dialogs/ports/communication_dialog.h"
#include "dialogs/ports/entry_dialogs.h"
#include "dialogs/ports/port_table_dialog.h"
#include "kelcmd/kelcmd.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
namespace {

using dialogs::CommunicationState;
using dialogs::PortTableActions;

CPortSettings Settings(const std::string& name, uint32_t baud = 19200) {
    CPortSettings settings;
    settings.Set(name, baud, 0, 100, 4);
    return settings;
}

// A port table editor whose "Communication" dialog is played by `answer`; the table is emptied
// before and after.
class PortTableTest : public DialogTest {
  protected:
    PortTableTest() { Communication().RemoveAllPorts(); }
    ~PortTableTest() override {
        Communication().RemoveAllPorts();
        for (const std::string& name : mapped_) KEB_MapPort(name.c_str(), "");
    }
    // The name opens a simulated bus, or fails to open.
    void Map(const std::string& name, bool opens = true) {
        KEB_MapPort(name.c_str(), opens ? ("sim:1,bus=" + name).c_str() : "/nonexistent/tty");
        mapped_.push_back(name);
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const PortState& state : actions.Ports()) {
            const dialogs::PortRow row = dialogs::DescribePort(state);
            rows.push_back(row.status + " " + row.port + " " + row.baudrate);
        }
        return rows;
    }

    RecordingPrompt prompt;
    std::vector<std::string> offered;
    std::function<bool(CommunicationState&)> answer = [this](CommunicationState& state) {
        offered = state.portNames;
        return true;
    };
    PortTableActions actions{Communication(), [this](CommunicationState& s) { return answer(s); }};

  private:
    std::vector<std::string> mapped_;
};

TEST_F(PortTableTest, AddPortOffersTheFreeNamesAndKeepsAPortThatFailsToOpen) {
    Map("Com2", false);
    Communication().AddClosedPort(Settings("Com1"));
    Communication().AddClosedPort(Settings("COM3"));
    ASSERT_EQ(actions.AddPort(), "Com2");
    std::vector<std::string> free = {"Com2"};
    for (int i = 4; i <= 20; ++i) free.push_back("Com" + std::to_string(i));
    EXPECT_EQ(offered, free);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Closed Com1 19200baud", "Closed COM3 19200baud",
                                                "Closed Com2 19200baud"}));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Error opening port"});
}

TEST_F(PortTableTest, AddPortRefusesWhenEveryNameIsTaken) {
    for (int i = 1; i <= 20; ++i)
        Communication().AddClosedPort(Settings("Com" + std::to_string(i)));
    EXPECT_EQ(actions.AddPort(), std::nullopt);
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(actions.Ports().size(), 20u);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("Com1 to Com20 are in use"), std::string::npos);
}

// A name taken while the dialog was open is not added a second time.
TEST_F(PortTableTest, AddPortNeverAddsANameTwice) {
    answer = [](CommunicationState& state) {
        Communication().AddClosedPort(Settings("COM1"));
        state.portIndex = 0;
        return true;
    };
    EXPECT_EQ(actions.AddPort(), std::nullopt);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Closed COM1 19200baud"});
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Port 'Com1' is already in the table!"});
}

// An unknown rate shows as 2400, and "&OK" stores 2400; an open port is opened again.
TEST_F(PortTableTest, ConfigureStoresTheRateShownAndReopensAnOpenPort) {
    Map("Com7");
    ASSERT_EQ(Communication().InitPort(Settings("Com7", 1234)), 0);
    int shownRate = 0;
    answer = [&shownRate](CommunicationState& state) {
        shownRate = static_cast<int>(CommunicationState::BaudTable()[state.baudIndex]);
        return state.portNames == std::vector<std::string>{"Com7"};
    };
    EXPECT_TRUE(actions.ConfigurePort("com7"));
    EXPECT_EQ(shownRate, 2400);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Opened Com7 2400baud"});
}

TEST_F(PortTableTest, ButtonsReportWhatTheyCannotDo) {
    Map("Com4");
    ASSERT_EQ(Communication().InitPort(Settings("Com4")), 0);
    Communication().AddClosedPort(Settings("Com5"));
    actions.OpenPort("Com4");
    actions.ClosePort("Com5");
    actions.OpenPort("");
    actions.ClosePort("Com9");
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{"Port is already open!", "Port is already closed!",
                                        "No port selected!", "Port not found!"}));
    actions.ClosePort("COM4");
    Map("Com5");
    actions.OpenPort("Com5");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Closed Com4 19200baud", "Opened Com5 19200baud"}));
}

// The loopback test asks its question before it takes the line, so that the exchanges of other
// threads go on while a person decides; answered No, it tests nothing and says nothing.
TEST_F(PortTableTest, TestPortAsksWithoutHoldingThePortWhileOtherThreadsRunCommands) {
    Map("Com8");
    ASSERT_EQ(Communication().InitPort(Settings("Com8")), 0);
    Communication().AddClosedPort(Settings("Com9"));
    actions.TestPort("Com9");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Port is not open!"});
    EXPECT_TRUE(prompt.questions.empty());

    prompt.messages.clear();
    prompt.answer = false;
    std::future<int32_t> command;  // outlives the question should the command hang
    bool ranWhileAsking = false;
    prompt.whileAsking = [&] {
        command = std::async(std::launch::async, [] {
            int32_t position = -1;
            return MP_ReadPosition("Com8", 1, &position);
        });
        // Held by the question, the port's lock would keep the command waiting.
        ranWhileAsking = command.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    };
    actions.TestPort("com8");
    EXPECT_TRUE(ranWhileAsking);
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_NE(prompt.questions[0].find("Do you really want to start?"), std::string::npos);
    EXPECT_EQ(command.get(), 1);
    EXPECT_TRUE(prompt.messages.empty());
}

// The window: the first row selected on opening, Enter in the list configures, a deleted row
// leaves the last row selected, and the read-only switch disables the table's changes.
TEST_F(PortTableTest, TheWindowWorksOnTheSelectedRow) {
    for (const char* name : {"Com1", "Com2", "Com3"}) Communication().AddClosedPort(Settings(name));
    dialogs::PortTableDialog window(actions, false);
    EXPECT_EQ(window.SelectedPort(), "Com1");
    window.List()->setCurrentItem(window.List()->topLevelItem(1));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.List(), &enter);
    EXPECT_EQ(offered, std::vector<std::string>{"Com2"});
    window.List()->setCurrentItem(window.List()->topLevelItem(0));
    Click(window, "delete_port");
    EXPECT_EQ(window.SelectedPort(), "Com3");
    EXPECT_EQ(window.List()->topLevelItemCount(), 2);

    dialogs::PortTableDialog readOnly(actions, true);
    for (const char* button : {"add_port", "delete_port", "configure_port", "delete_all_ports"}) {
        EXPECT_FALSE(readOnly.Button(button)->isEnabled()) << button;
    }
    EXPECT_TRUE(readOnly.Button("test_port")->isEnabled());
}

TEST_F(DialogTest, CommunicationDialogShowsAndStoresTheTableRates) {
    const std::vector<std::pair<uint32_t, uint32_t>> rates = {{1234, 2400}, {57600, 57600}};
    for (const auto& [given, stored] : rates) {
        CommunicationState state;
        state.SetSettings(Settings("COM3", given));
        dialogs::CommunicationDialog dialog(state);
        EXPECT_EQ(Find<QComboBox>(dialog, "serial_port").currentText(), "Com3");
        EXPECT_EQ(Find<QComboBox>(dialog, "baudrate").currentText().toUInt(), stored);
        Type(dialog, "timeout", "4294967295");
        Click(dialog, "ok");
        const CPortSettings settings = state.GetSettings();
        EXPECT_EQ(settings.GetBaudrate(), stored);
        EXPECT_EQ(settings.GetName(), "Com3");
        EXPECT_EQ(settings.GetTimeout(), 4294967295u);
    }
}

struct DestinationCase {
    int typed;
    bool accepted;
    std::string message;
    int fieldAfter;  // "Enter PortName & Destination" sets the field to the limit crossed
};

TEST_F(DialogTest, DestinationEntryRefusesValuesOutsideItsRange) {
    const std::vector<DestinationCase> cases = {
        {0, false, "Destination is smaller than 1 !", 1},
        {128, false, "Destination is greater than 127 !", 127},
        {127, true, "", 127},
    };
    for (const DestinationCase& row : cases) {
        RecordingPrompt prompt;
        dialogs::EnterDestinationDialog single(5, 1, 127);
        Find<QSpinBox>(single, "destination").setValue(row.typed);
        Click(single, "ok");
        EXPECT_EQ(single.result() == QDialog::Accepted, row.accepted) << row.typed;

        dialogs::EnterPortAndDestinationDialog both({"Com1", "Com2"}, "Com2", 5, 1, 127);
        Find<QSpinBox>(both, "destination").setValue(row.typed);
        Click(both, "ok");
        EXPECT_EQ(both.Destination(), row.fieldAfter);
        EXPECT_EQ(both.Name(), "Com2");
        const std::vector<std::string> expected =
            row.accepted ? std::vector<std::string>{}
                         : std::vector<std::string>{row.message, row.message};
        EXPECT_EQ(prompt.messages, expected);
    }
}

TEST_F(DialogTest, PortNameEntrySelectsTheInitialNameOrTheFirst) {
    EXPECT_EQ(dialogs::EnterPortNameDialog({"Com1", "Com2"}, "Com2").Name(), "Com2");
    EXPECT_EQ(dialogs::EnterPortNameDialog({"Com1", "Com2"}, "Com9").Name(), "Com1");
    EXPECT_EQ(dialogs::EnterPortNameDialog({}, "Com1").Name(), "");
}

// KEB_InitKelBusDlg opens the confirmed port and makes it current.
TEST_F(PortTableTest, InitKelBusDialogOpensAndSelectsThePort) {
    Map("Com6");
    ModalScript script(
        {Ok([](QDialog& d) { Find<QComboBox>(d, "serial_port").setCurrentIndex(5); })});
    EXPECT_EQ(KEB_InitKelBusDlg(), 1);
    char name[16] = {};
    EXPECT_EQ(KEB_GetStandardPortName(name, sizeof name), 1);
    EXPECT_STREQ(name, "Com6");
    EXPECT_EQ(Rows(), std::vector<std::string>{"Opened Com6 19200baud"});
    SetCurrentPortName("Com1");
}

}  // namespace
}  // namespace kelcmd::testing
