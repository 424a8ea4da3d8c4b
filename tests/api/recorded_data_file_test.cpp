// The ".rda" file and the text export, byte for byte, and files that must not load.
#include "api/recorded_data_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/hook.h"
#include "platform/prompt.h"

namespace kelcmd {
namespace {

class RecordingPrompt final : public Prompt {
  public:
    RecordingPrompt() { previous_ = InstallPrompt(Unowned<Prompt>(*this)); }
    ~RecordingPrompt() override { InstallPrompt(previous_); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string&) override { return false; }
    std::vector<std::string> messages;

  private:
    std::shared_ptr<Prompt> previous_;
};

CRecordedData TwoCurves() {
    CRecordedData data;
    data.AppendSamples(1, 1, std::vector<int16_t>{-2, 300}, 2, "ms");
    data.AppendSamples(2, 3, std::vector<int16_t>{32}, 2, "ms");
    return data;
}

// clang-format off
const std::vector<uint8_t> kTwoCurvesFile = {
    18, 'r', 'd', 'a', 'F', 'i', 'l', 'e', 'V', 'e', 'r', 's', 'i', 'o', 'n', '_', '1', '.', '7',
    2, 0, 0, 0,  // curves
    // vector 1, shown 1, style 0, signal 1, period 2, "position is", "ms", 2 points
    1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0,
    11, 'p', 'o', 's', 'i', 't', 'i', 'o', 'n', ' ', 'i', 's', 2, 'm', 's', 2, 0, 0, 0,
    0, 0, 0, 0, 2, 0, 0xFE, 0xFF,  // time 0, short -2
    2, 0, 0, 0, 2, 0, 0x2C, 0x01,  // time 2, short 300
    // vector 2, shown 1, style 0, signal 3, period 2, "velocity is", "ms", 1 point
    2, 1, 0, 0, 0, 0, 0, 0, 0, 3, 2, 0, 0, 0,
    11, 'v', 'e', 'l', 'o', 'c', 'i', 't', 'y', ' ', 'i', 's', 2, 'm', 's', 1, 0, 0, 0,
    0, 0, 0, 0, 4, 0, 0x00, 0x00, 0x80, 0x3F,  // time 0, float 1.0
};
// clang-format on

TEST(RecordedDataFile, StoresTheLayoutAndLoadsItBackUnchanged) {
    const CRecordedData data = TwoCurves();
    EXPECT_EQ(StoreRecordedData(data), kTwoCurvesFile);
    CRecordedData loaded;
    ASSERT_EQ(LoadRecordedData(kTwoCurvesFile, loaded), RecordedDataLoad::kLoaded);
    EXPECT_EQ(loaded, data);
    EXPECT_EQ(StoreRecordedData(loaded), kTwoCurvesFile);

    // Through a file as well.
    const std::string path =
        (std::filesystem::temp_directory_path() / "kelcmd_recorded_data_test.rda").string();
    ASSERT_TRUE(SaveRecordedDataFile(path, data));
    CRecordedData fromFile;
    EXPECT_EQ(LoadRecordedDataFile(path, fromFile), RecordedDataLoad::kLoaded);
    EXPECT_EQ(fromFile, data);
    std::remove(path.c_str());
    // Gone, a folder, an endless device: nothing to load, and nothing thrown or read for ever.
    for (const std::string& bad :
         {path, std::filesystem::temp_directory_path().string(), std::string("/dev/zero")}) {
        EXPECT_EQ(LoadRecordedDataFile(bad, fromFile), RecordedDataLoad::kCannotOpen) << bad;
    }
    EXPECT_EQ(fromFile, data);
}

TEST(RecordedDataFile, AnotherVersionIsRefusedAndChangesNothing) {
    RecordingPrompt prompt;
    for (const char* version :
         {"rdaFileVersion_1.6", "rdaFileVersion_1.70", "RdaFileVersion_1.7"}) {
        std::vector<uint8_t> file = kTwoCurvesFile;
        const std::string text = version;
        file.erase(file.begin(), file.begin() + 19);
        file.insert(file.begin(), text.begin(), text.end());
        file.insert(file.begin(), static_cast<uint8_t>(text.size()));
        CRecordedData data = TwoCurves();
        data.Curves()[0].style = 1;
        const CRecordedData before = data;
        EXPECT_EQ(LoadRecordedData(file, data), RecordedDataLoad::kWrongVersion) << version;
        EXPECT_EQ(data, before);
    }
    EXPECT_EQ(prompt.messages, std::vector<std::string>(3, "File Version is too old!"));
}

TEST(RecordedDataFile, TruncatedOrHostileFilesLoadNothing) {
    RecordingPrompt prompt;
    const CRecordedData before = TwoCurves();
    for (size_t length = 0; length < kTwoCurvesFile.size(); ++length) {
        CRecordedData data = before;
        const std::span<const uint8_t> cut(kTwoCurvesFile.data(), length);
        EXPECT_NE(LoadRecordedData(cut, data), RecordedDataLoad::kLoaded) << length;
        EXPECT_EQ(data, before);
    }
    auto damaged = [&](size_t offset, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = kTwoCurvesFile;
        std::copy(bytes.begin(), bytes.end(), file.begin() + offset);
        CRecordedData data = before;
        const RecordedDataLoad result = LoadRecordedData(file, data);
        EXPECT_EQ(data, before);
        return result;
    };
    EXPECT_EQ(damaged(19, {0xFF, 0xFF, 0xFF, 0xFF}), RecordedDataLoad::kMalformed);  // curves
    EXPECT_EQ(damaged(52, {0xFF, 0xFF, 0xFF, 0x7F}), RecordedDataLoad::kMalformed);  // points
    EXPECT_EQ(damaged(60, {3, 0}), RecordedDataLoad::kMalformed);              // unknown value tag
    EXPECT_EQ(damaged(37, {0xFF, 0xFF, 0xFF}), RecordedDataLoad::kMalformed);  // name length
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(RecordedDataFile, TextExportRowsFollowTheLongestCurve) {
    CRecordedData data = TwoCurves();
    EXPECT_EQ(RecordedDataText(data),
              "Time\tposition is\tvelocity is\t\r\n"
              "0.000000e+00\t-2\t1.000000e+00\t\r\n"
              "2.000000e-03\t300\t\t\r\n");
    // Microseconds; the longest curve (the second) gives the times.
    CRecordedData micro;
    micro.AppendSamples(0, 0, std::vector<int16_t>{1}, 250, "us");
    micro.AppendSamples(1, 8, std::vector<int16_t>{16, 48}, 250, "us");
    EXPECT_EQ(RecordedDataText(micro),
              "Time\tposition must\tmean velocity\t\r\n"
              "0.000000e+00\t1\t5.000000e-01\t\r\n"
              "2.500000e-04\t\t1.500000e+00\t\r\n");
    EXPECT_EQ(RecordedDataText(CRecordedData{}), "Time\t\r\n");
}

}  // namespace
}  // namespace kelcmd
