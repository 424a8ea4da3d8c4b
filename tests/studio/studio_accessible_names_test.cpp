// The cockpit's inputs are named by their own labels, as the dialogs' are.
#include "dialogs/accessibility/input_names.h"
#include "studio_test_support.h"
#include "studio_window.h"

namespace kelcmd::studio {
namespace {

class StudioAccessibleNames : public testing::StudioTest {};

TEST_F(StudioAccessibleNames, EveryInputOfTheCockpitIsNamedByItsLabel) {
    testing::SimDevice device("1-3");
    StudioWindow window("Com63", false, false);
    ASSERT_TRUE(window.OpenPort(device.text));
    ASSERT_TRUE(testing::WaitFor([&] { return !window.Scanning(); }));
    window.show();
    const ::kelcmd::testing::InputNames names = ::kelcmd::testing::ReadInputNames(window);
    EXPECT_GT(names.inputs, 10);
    for (const QString& input : names.unnamed) ADD_FAILURE() << input.toStdString();
}

}  // namespace
}  // namespace kelcmd::studio
