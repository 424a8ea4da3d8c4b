#include "api/recorded_data_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "archive/archive.h"
#include "command/command_files.h"
#include "platform/prompt.h"

namespace kelcmd {
namespace {

constexpr uint16_t kVariantShort = 2;
constexpr uint16_t kVariantFloat = 4;
// The fewest bytes a point and a curve record can take: bounds for counts read from a file.
constexpr size_t kMinPointBytes = 4 + 2 + 2;
constexpr size_t kMinCurveBytes = 1 + 4 + 4 + 1 + 4 + 1 + 1 + 4;

void StorePoint(CArchive& archive, const RecordedPoint& point) {
    archive.WriteI32(point.time);
    if (const auto* integer = std::get_if<int16_t>(&point.value)) {
        archive.WriteU16(kVariantShort);
        archive.WriteU16(static_cast<uint16_t>(*integer));
    } else {
        archive.WriteU16(kVariantFloat);
        archive.WriteFloat(std::get<float>(point.value));
    }
}

bool LoadPoint(CArchive& archive, RecordedPoint& point) {
    point.time = archive.ReadI32();
    switch (archive.ReadU16()) {
        case kVariantShort:
            point.value = static_cast<int16_t>(archive.ReadU16());
            break;
        case kVariantFloat:
            point.value = archive.ReadFloat();
            break;
        default:
            return false;
    }
    return !archive.Failed();
}

bool LoadCurve(CArchive& archive, RecordedCurve& curve) {
    curve.vector = archive.ReadU8();
    curve.shown = archive.ReadI32();
    curve.style = archive.ReadI32();
    curve.signal = archive.ReadU8();
    curve.period = archive.ReadU32();
    curve.name = archive.ReadString();
    curve.timeUnit = archive.ReadString();
    const uint32_t count = archive.ReadU32();
    if (archive.Failed() || count > archive.Remaining() / kMinPointBytes) return false;
    curve.points.resize(count);
    for (RecordedPoint& point : curve.points) {
        if (!LoadPoint(archive, point)) return false;
    }
    return true;
}

std::string Format(const char* format, double value) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ValueText(const RecordedPoint& point) {
    if (const auto* integer = std::get_if<int16_t>(&point.value)) return std::to_string(*integer);
    return Format("%.6e", std::get<float>(point.value));
}

double TimeInSeconds(const RecordedCurve& curve, int32_t time) {
    if (curve.timeUnit == "ms") return time / 1000.0;
    if (curve.timeUnit == "us") return time / 1000000.0;
    return time;
}

}  // namespace

std::vector<uint8_t> StoreRecordedData(const CRecordedData& data) {
    CArchive archive;
    archive.WriteString(kRecordedDataFileVersion);
    archive.WriteU32(static_cast<uint32_t>(data.Curves().size()));
    for (const RecordedCurve& curve : data.Curves()) {
        archive.WriteU8(curve.vector);
        archive.WriteI32(curve.shown);
        archive.WriteI32(curve.style);
        archive.WriteU8(curve.signal);
        archive.WriteU32(curve.period);
        archive.WriteString(curve.name);
        archive.WriteString(curve.timeUnit);
        archive.WriteU32(static_cast<uint32_t>(curve.points.size()));
        for (const RecordedPoint& point : curve.points) StorePoint(archive, point);
    }
    return archive.TakeData();
}

RecordedDataLoad LoadRecordedData(std::span<const uint8_t> bytes, CRecordedData& data) {
    CArchive archive(bytes);
    const std::string version = archive.ReadString();
    if (archive.Failed()) return RecordedDataLoad::kMalformed;
    if (version != kRecordedDataFileVersion) {
        CurrentPrompt().ShowMessage(kFileVersionTooOld);
        return RecordedDataLoad::kWrongVersion;
    }
    const uint32_t count = archive.ReadU32();
    if (archive.Failed() || count > archive.Remaining() / kMinCurveBytes) {
        return RecordedDataLoad::kMalformed;
    }
    // Built aside and swapped in only when the whole file was read.
    CRecordedData loaded;
    loaded.Curves().resize(count);
    for (RecordedCurve& curve : loaded.Curves()) {
        if (!LoadCurve(archive, curve)) return RecordedDataLoad::kMalformed;
    }
    data = std::move(loaded);
    return RecordedDataLoad::kLoaded;
}

bool SaveRecordedDataFile(const std::string& path, const CRecordedData& data) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    const std::vector<uint8_t> bytes = StoreRecordedData(data);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

RecordedDataLoad LoadRecordedDataFile(const std::string& path, CRecordedData& data) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) return RecordedDataLoad::kCannotOpen;
    return LoadRecordedData(bytes, data);
}

std::string RecordedDataText(const CRecordedData& data) {
    const std::vector<RecordedCurve>& curves = data.Curves();
    const RecordedCurve* longest = nullptr;
    for (const RecordedCurve& curve : curves) {
        if (longest == nullptr || curve.points.size() > longest->points.size()) longest = &curve;
    }
    std::string text = "Time\t";
    for (const RecordedCurve& curve : curves) text += curve.name + "\t";
    text += "\r\n";
    const size_t rows = longest != nullptr ? longest->points.size() : 0;
    for (size_t row = 0; row < rows; ++row) {
        text += Format("%.6e", TimeInSeconds(*longest, longest->points[row].time)) + "\t";
        for (const RecordedCurve& curve : curves) {
            if (row < curve.points.size()) text += ValueText(curve.points[row]);
            text += "\t";
        }
        text += "\r\n";
    }
    return text;
}

bool ExportRecordedDataText(const std::string& path, const CRecordedData& data) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    const std::string text = RecordedDataText(data);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}

}  // namespace kelcmd
