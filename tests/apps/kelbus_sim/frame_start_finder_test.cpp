// Frame starts found by structure on a line without the ninth bit.
#include "frame_start_finder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "transport/frame.h"

namespace kelcmd::simserver {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Request(uint8_t dest, uint8_t mtype, const Bytes& data) {
    const uint16_t word = LengthWord(static_cast<uint16_t>(data.size()));
    Bytes frame = {dest, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF), 0,
                   mtype};
    frame.insert(frame.end(), data.begin(), data.end());
    const uint16_t crc = FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    return frame;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// "^01" a frame start (ninth bit), "~55" noise, "00" a frame byte; "|" after a frame's last byte.
std::string Render(const std::vector<LinePiece>& pieces) {
    std::string text;
    for (const LinePiece& piece : pieces) {
        const char* mark = piece.kind == LinePiece::Kind::FrameStart ? "^"
                           : piece.kind == LinePiece::Kind::Noise    ? "~"
                                                                     : "";
        for (uint8_t byte : piece.bytes) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%s%02X ", mark, byte);
            text += hex;
        }
        if (!piece.completedFrame.empty()) text += "| ";
    }
    return text;
}

TEST(FrameStartFinder, FindsFramesByTheirStructure) {
    const Bytes readPosition = Request(1, 0x30, {});  // 01 00 00 00 30 37 00
    Bytes badCrc = readPosition;
    badCrc.back() ^= 0xFF;
    const Bytes quiet;  // the line goes quiet between chunks

    struct Case {
        const char* what;
        std::vector<Bytes> chunks;
        std::string expected;
    };
    const Case cases[] = {
        {"one frame", {readPosition}, "^01 00 00 00 30 37 00 | "},
        {"two frames in one chunk",
         {Join({readPosition, Request(3, 36, {0x00, 0x00, 0x03, 0xE8})})},
         "^01 00 00 00 30 37 00 | ^03 F0 04 00 24 00 00 03 E8 99 D6 | "},
        {"a frame byte by byte",
         {{0x01}, {0x00}, {0x00}, {0x00}, {0x30}, {0x37}, {0x00}},
         "^01 00 00 00 30 37 00 | "},
        {"a stray byte before a frame slides the start",
         {Join({{0x55}, readPosition})},
         "~55 ^01 00 00 00 30 37 00 | "},
        {"data that looks like a frame start stays data",
         {Request(2, 200, {0x01, 0x00, 0x00, 0x00, 0x30})},
         "^02 EC 05 00 C8 01 00 00 00 30 87 48 | "},
        {"a bad CRC is the unit's to refuse", {badCrc}, "^01 00 00 00 30 37 FF | "},
        {"a quiet line gives up a frame cut short",
         {Bytes(readPosition.begin(), readPosition.begin() + 4), quiet, readPosition},
         "^01 00 00 00 ^01 00 00 00 30 37 00 | "},
        {"stray bytes before a quiet line slide away",
         {{0x05, 0x06}, quiet, readPosition},
         "~05 ~06 ^01 00 00 00 30 37 00 | "},
        {"a pause after the address byte keeps the frame",
         {{0x01}, quiet, Bytes(readPosition.begin() + 1, readPosition.end())},
         "^01 00 00 00 30 37 00 | "},
    };
    for (const Case& c : cases) {
        FrameStartFinder finder;
        std::string rendered;
        for (const Bytes& chunk : c.chunks) {
            if (chunk.empty()) {
                finder.LineQuiet();
            } else {
                rendered += Render(finder.Feed(chunk));
            }
        }
        EXPECT_EQ(rendered, c.expected) << c.what;
        EXPECT_TRUE(finder.Idle()) << c.what;
    }
}

TEST(FrameStartFinder, CompletedPieceCarriesTheWholeFrame) {
    const Bytes frame = Request(7, 36, {1, 2, 3});
    FrameStartFinder finder;
    auto pieces = finder.Feed(Bytes(frame.begin(), frame.begin() + 6));
    const auto rest = finder.Feed(Bytes(frame.begin() + 6, frame.end()));
    pieces.insert(pieces.end(), rest.begin(), rest.end());
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces.back().completedFrame, frame);
}

}  // namespace
}  // namespace kelcmd::simserver
