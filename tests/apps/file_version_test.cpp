// What kelcmd says about a file that the library refused for its version.
#include "file_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kelcmd::app {
namespace {

std::vector<uint8_t> Starting(const std::string& text, size_t lengthByte) {
    std::vector<uint8_t> bytes(text.size() + 2, 0);  // length byte, text, a zero after it
    bytes[0] = static_cast<uint8_t>(lengthByte);
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    return bytes;
}

TEST(VersionProblem, SaysWhatTheFileIs) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* problem;
    };
    const Case cases[] = {
        {{}, "empty file"},
        {{0x7F, 0x45, 0x4C, 0x46, 2, 1}, "it does not start with a version text"},
        {Starting("hello", 5), "it does not start with a version text"},
        {Starting("kbcFileVersion_0.90", 40), "it does not start with a version text"},  // cut
        {Starting("kbcFileVersion_0.90", 19), "File Version is too old! (kbcFileVersion_0.90)"},
        {Starting("ccsFileVersion_1.60", 19),
         "it is a customer command set file "
         "(ccsFileVersion_1.60)"},
        {Starting("rdaFileVersion_1.7", 18), "it is a recorded data file (rdaFileVersion_1.7)"},
        {Starting("kbcFileVersion_1.00x", 20), "File Version is too old! (kbcFileVersion_1.00x)"},
        {Starting("kbcFileVersion_1.0", 18), "File Version is too old! (kbcFileVersion_1.0)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VersionProblem(c.bytes, "kbcFileVersion_1.00"), c.problem) << c.problem;
    }
}

}  // namespace
}  // namespace kelcmd::app
