#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "api/recorded_data.h"

namespace kelcmd {

inline constexpr const char* kRecordedDataFileVersion = "rdaFileVersion_1.7";
inline constexpr const char* kFileVersionTooOld = "File Version is too old!";

enum class RecordedDataLoad {
    kLoaded,
    kWrongVersion,  // another version text: reported with "File Version is too old!"
    kMalformed,     // truncated or inconsistent
    kCannotOpen,
};

// The ".rda" file: the version text, the curve count (4 bytes), then per curve vector (1), shown
// (4), style (4), signal (1), period (4), name, time unit, point count (4) and the points, each a
// time (4) and a tagged value (tag 2 and 16 bits, or tag 4 and a float). Little-endian, strings
// with the archive's length prefix.
std::vector<uint8_t> StoreRecordedData(const CRecordedData& data);

// Loads a whole file image. Anything but kLoaded leaves `data` unchanged; every length and count
// is checked against the bytes that remain, so a damaged file cannot make it allocate or read
// beyond its end. A wrong version is also shown through the prompt.
RecordedDataLoad LoadRecordedData(std::span<const uint8_t> bytes, CRecordedData& data);

// The same on files. A file that cannot be opened loads or saves nothing, silently.
bool SaveRecordedDataFile(const std::string& path, const CRecordedData& data);
RecordedDataLoad LoadRecordedDataFile(const std::string& path, CRecordedData& data);

// The text export: a header line "Time", TAB, each curve's name and TAB, CR LF; then one row per
// point of the longest curve (the first on a tie): its time in seconds ("%.6e") and TAB, then per
// curve the value ("%i" or "%.6e") and TAB, or a TAB alone past a shorter curve's end; CR LF.
// Times of polled data ("samples") have no conversion to seconds and are written as they are.
std::string RecordedDataText(const CRecordedData& data);
bool ExportRecordedDataText(const std::string& path, const CRecordedData& data);

}  // namespace kelcmd
