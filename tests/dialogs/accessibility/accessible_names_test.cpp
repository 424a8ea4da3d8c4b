// Every input of every dialog carries its label as its accessible name, so that a screen reader
// (or a GUI test tool going through the accessibility tree) can tell the fields apart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <map>
#include <string>

#include "dialog_tour.h"
#include "dialogs/bootstrap/application.h"
#include "input_names.h"

namespace kelcmd::testing {
namespace {

// The names a screen reader hears for fields that a group with a title of its own frames.
const std::map<std::string, std::vector<std::pair<const char*, const char*>>> kNamedFields = {
    {"BatchCommanding",
     {{"timeout", "Timeout"}, {"total_timeout", "Total Timeout"}, {"delay", "Delay"}}},
    {"FindHomeEx",
     {{"home_velocity", "HOME velocity"},
      {"home_position", "Home position"},
      {"timeout", "Timeout"}}},
};

class AccessibleNames : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(dialogs::PrepareGui(), ""); }
};

// One tour (it takes seconds): every input named, and the fields that a group frames named by
// their own labels.
TEST_F(AccessibleNames, EveryInputOfEveryDialogIsNamedByItsLabel) {
    std::map<std::string, InputNames> dialogs;
    std::map<std::string, std::string> heard;
    ASSERT_TRUE(dialogs::VisitEveryDialog([&](QWidget& dialog, const std::string& name) {
        dialogs[name] = ReadInputNames(dialog);
        if (const auto fields = kNamedFields.find(name); fields != kNamedFields.end()) {
            for (const auto& [object, label] : fields->second) {
                auto* field = dialog.findChild<QWidget*>(object);
                heard[name + "/" + object] =
                    field != nullptr ? AccessibleName(*field).toStdString() : "(no field)";
            }
        }
    }));
    ASSERT_GT(dialogs.size(), 100u);
    int inputs = 0;
    for (const auto& [dialog, names] : dialogs) {
        inputs += names.inputs;
        for (const QString& input : names.unnamed) {
            ADD_FAILURE() << dialog << ": " << input.toStdString();
        }
    }
    EXPECT_GT(inputs, 1000);
    for (const auto& [dialog, fields] : kNamedFields) {
        for (const auto& [object, label] : fields) {
            EXPECT_EQ(heard[dialog + "/" + object], label) << dialog << " " << object;
        }
    }
}

// The walk itself: a field in a group with no label of its own is heard as the group's title,
// and one with neither is not named at all; both are reported. A drop-down list is named by its
// label, not by its current entry.
TEST_F(AccessibleNames, AFieldNamedOnlyByItsGroupIsReported) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* group = new QGroupBox("Stacked &Commands", &window);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(new QLabel("Delay", group));
    inGroup->addWidget(new QLineEdit(group));
    auto* list = new QComboBox(group);
    list->addItem("19200");
    auto* label = new QLabel("Baudrate", group);
    label->setBuddy(list);
    inGroup->addWidget(label);
    inGroup->addWidget(list);
    layout->addWidget(group);
    layout->addWidget(new QLineEdit(&window));
    const InputNames names = ReadInputNames(window);
    EXPECT_EQ(names.inputs, 3);
    ASSERT_EQ(names.unnamed.size(), 2u);
    EXPECT_TRUE(names.unnamed[0].endsWith("called 'Stacked Commands'"))
        << names.unnamed[0].toStdString();
    EXPECT_EQ(AccessibleName(*list), "Baudrate");
}

}  // namespace
}  // namespace kelcmd::testing
