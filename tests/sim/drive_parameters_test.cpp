// The drive's position limits and stored home search live in the unit's system parameters.
#include <bit>

#include "drive_test_fixture.h"
#include "sim/params/parameter_unit.h"
#include "sim/unit_setup.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

constexpr uint8_t kReadTempParam = 0x10;
constexpr uint8_t kSetTempParam = 0x12;
constexpr uint8_t kResetTempParam = 0x14;
constexpr uint8_t kSetAllTempParam = 0x18;
constexpr uint8_t kReadAllTempParam = 0x16;
constexpr uint8_t kInfoFlagUpLimit = 1 << 4;
constexpr uint8_t kInfoFlagLoLimit = 1 << 5;

void SetLInt(DriveBench& bench, uint8_t number, int32_t value) {
    bench.Do(kSetTempParam, Join({{number}, Int32(value)}));
}
void SetInt(DriveBench& bench, uint8_t number, int16_t value) {
    bench.Do(kSetTempParam, Join({{number}, Be16(static_cast<uint16_t>(value))}));
}

TEST(DriveParameters, LimitsFollowTheTemporaryParametersWhenAMoveIsChecked) {
    DriveBench bench;
    // The default set has limits at +-100000, both switched off.
    bench.Do(kMoveAbsolute, Int32(150000));
    bench.Drive().AdvanceTime(60s);
    EXPECT_EQ(bench.Position(), 150000);

    SetLInt(bench, 21, 200000);
    SetInt(bench, 22, 1);
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(200001)).Warning(), WARN_UPLIMIT);
    EXPECT_TRUE(bench.Status() & kStatusHiLimit);
    bench.Do(kMoveAbsolute, Int32(200000));
    bench.Drive().AdvanceTime(60s);
    EXPECT_EQ(bench.Position(), 200000);
    // Only the upper limit is on: far below is fine for the unit.
    bench.Do(kMoveAbsolute, Int32(-150000), 1);
    bench.Drive().AdvanceTime(60s);

    // ResetTempParam brings back the permanent copy, with both limits off again.
    bench.Do(kResetTempParam);
    bench.Do(kMoveAbsolute, Int32(300000));
    bench.Drive().AdvanceTime(60s);
    EXPECT_EQ(bench.Position(), 300000);

    // A whole set written at once: the lower limit at 250000, switched on.
    Reply set = bench.Do(kReadAllTempParam);
    ASSERT_EQ(set.data.size(), 110u);
    Bytes image = set.data;
    const Bytes lower = Int32(250000);
    std::copy(lower.begin(), lower.end(), image.begin() + 60);
    image[64] = 0;
    image[65] = 1;
    bench.Do(kSetAllTempParam, image);
    EXPECT_EQ(bench.Send(kMoveRelative, Int32(-50001)).Warning(), WARN_LOLIMIT);
    EXPECT_EQ(bench.Send(kInitMoveAbsolute, Int32(0)).Warning(), WARN_LOLIMIT);
    bench.Do(kMoveRelative, Int32(-50000));
}

TEST(DriveParameters, VelocityMovesStopOnlyAtTheEnabledLimit) {
    DriveBench bench;
    SetLInt(bench, 23, -3000);
    SetInt(bench, 24, 1);
    // Upward there is no limit to report; downward the move brakes at -3000.
    Reply up = bench.Do(kSetVelocity, Join({FloatBits(10), {1}}));
    EXPECT_FALSE(up.data.at(0) & (kInfoFlagUpLimit | kInfoFlagLoLimit));
    Reply down = bench.Do(kSetVelocity, Join({FloatBits(-10), {0}}));
    EXPECT_TRUE(down.data.at(0) & kInfoFlagLoLimit);
    bench.Drive().AdvanceTime(2s);
    EXPECT_EQ(bench.Position(), -3000);
    EXPECT_TRUE(bench.Status() & kStatusLoLimit);
}

TEST(DriveParameters, TheTestHooksWriteTheParameters) {
    DriveBench bench;
    bench.Drive().SetLimits(-1000, 1000);
    EXPECT_EQ(bench.Do(kReadTempParam, {21}).data, Join({{21}, Int32(1000)}));
    EXPECT_EQ(bench.Do(kReadTempParam, {22}).data, Join({{22}, Be16(1)}));
    EXPECT_EQ(bench.Do(kReadTempParam, {23}).data, Join({{23}, Int32(-1000)}));
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(1001)).Warning(), WARN_UPLIMIT);
    bench.Drive().ClearLimits();
    EXPECT_EQ(bench.Do(kReadTempParam, {22}).data, Join({{22}, Be16(0)}));
    EXPECT_EQ(bench.Do(kReadTempParam, {24}).data, Join({{24}, Be16(0)}));
    bench.Do(kMoveAbsolute, Int32(1001));

    HomingRequest stored;
    stored.type = 3;
    stored.velocity = 2.5f;
    stored.homePosition = -70000;
    bench.Drive().SetSystemHoming(stored);
    EXPECT_EQ(bench.Do(kReadTempParam, {30}).data, Join({{30}, Be16(3)}));
    EXPECT_EQ(bench.Do(kReadTempParam, {31}).data, Join({{31}, FloatBits(2.5f)}));
    // The home position is kept in two halves.
    EXPECT_EQ(bench.Do(kReadTempParam, {38}).data, Join({{38}, Be16(0xFFFE)}));
    EXPECT_EQ(bench.Do(kReadTempParam, {39}).data, Join({{39}, Be16(0xEE90)}));
}

TEST(DriveParameters, SystemHomingRunsTheSearchStoredInTheParameters) {
    DriveBench bench;
    bench.WaitMode(2);
    bench.Drive().SetHomeSwitchPosition(-300);
    SetInt(bench, 30, 2);
    bench.Do(kSetTempParam, Join({{31}, FloatBits(-10)}));
    SetInt(bench, 38, 1);  // home position 70000 = 1 * 65536 + 4464
    SetInt(bench, 39, 4464);
    bench.Do(kFindHomeSys, Be32(0));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 70000);
    EXPECT_TRUE(bench.Status() & kStatusReferenced);
    // A stored type the unit does not know is refused as a FindHome with it would be.
    SetInt(bench, 30, 12);
    EXPECT_EQ(bench.Send(kFindHomeSys, Be32(0)).Warning(), WARN_RANGE);
}

TEST(DriveParameters, WithoutAParameterMemoryTheDriveKeepsItsOwnLimits) {
    SetDefaultUnitSetup([](SimUnit& unit) { InstallDriveModel(unit); });
    DriveBench bench;
    SetDefaultUnitSetup({});
    ASSERT_EQ(ParameterMemoryOf(bench.sim.Unit(1)), nullptr);
    bench.Drive().SetLimits(-10, 10);
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(11)).Warning(), WARN_UPLIMIT);
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(-11)).Warning(), WARN_LOLIMIT);
    bench.Drive().ClearLimits();
    bench.Do(kMoveAbsolute, Int32(11));
}

}  // namespace
}  // namespace kelcmd::sim::testing
