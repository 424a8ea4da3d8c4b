#include "dialogs/report/command_report.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <span>

#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialogs/toolkit/text_format.h"
#include "dialogs/toolkit/typed_value.h"
#include "transport/frame.h"

namespace kelcmd::dialogs {
namespace {

std::string TitlePrefix(const CCommand& command) {
    if (const auto* batch = dynamic_cast<const CKelBatchCommand*>(&command)) {
        switch (batch->GetBatchType()) {
            case BATCH_QUIET_SEND:
                return "KelBus Sending QuietBatch Command: ";
            case BATCH_QUIET_READ:
                return "KelBus Reading QuietBatch Command: ";
            default:
                return "KelBus Batch Command: ";
        }
    }
    if (dynamic_cast<const CKelCustomerCommand*>(&command) != nullptr) {
        return "KelBus Customer Command: ";
    }
    return "KelBus Standard Command: ";
}

// Lays out rows one under the other from a fixed left position.
class Writer {
  public:
    Writer(const ReportMetrics& metrics, double x, double y, ReportLayout& layout)
        : metrics_(metrics), x_(x), y_(y), layout_(layout) {}

    double Width(const std::string& text, ReportFont font = ReportFont::kRegular) const {
        return metrics_.width(text, font);
    }
    // A text on the current row; the row does not advance.
    void Put(const std::string& text, double x, ReportFont font = ReportFont::kRegular) {
        layout_.texts.push_back({text, x, y_, font});
        layout_.rightmost = std::max(layout_.rightmost, x + Width(text, font));
    }
    void Line(const std::string& text, ReportFont font = ReportFont::kRegular) {
        Put(text, x_, font);
        NextLine();
    }
    void NextLine() { y_ += metrics_.textHeight + kReportLineSpacing; }
    void EndBlock() { y_ += metrics_.textHeight + 2 * kReportParagraphSpacing; }
    double Left() const { return x_; }
    double Y() const { return y_; }
    bool Narrow() const { return metrics_.rightEdge < kReportNarrowSurface; }
    double RightEdge() const { return metrics_.rightEdge; }

  private:
    const ReportMetrics& metrics_;
    double x_;
    double y_;
    ReportLayout& layout_;
};

// Data bytes as " 0x%.2X |" or " %i |" items, wrapped before an item that would reach into the
// 300-unit margin at the right edge.
void PutBytes(Writer& writer, double valueX, std::span<const uint8_t> bytes, bool hexadecimal,
              bool withBar) {
    std::string row = withBar ? ": |" : ":";
    for (const uint8_t byte : bytes) {
        const std::string item = hexadecimal ? Printed(" 0x%.2X |", byte) : Printed(" %i |", byte);
        if (row.size() > 3 && valueX + writer.Width(row + item) > writer.RightEdge() - 300) {
            writer.Put(row, valueX);
            writer.NextLine();
            row = withBar ? "  |" : " ";
        }
        row += item;
    }
    writer.Put(row, valueX);
}

void MessageBlock(Writer& writer, const FrameBuffer& frame, bool byteStream, bool hexadecimal) {
    const double valueX = writer.Left() + 1.2 * writer.Width("mtype");
    const uint16_t lengthWord = static_cast<uint16_t>(frame[1] << 8 | frame[2]);
    const uint16_t length = LengthOf(lengthWord);
    auto row = [&](const char* label, const std::string& value) {
        writer.Put(label, writer.Left());
        writer.Put(value, valueX);
        writer.NextLine();
    };
    auto byteValue = [&](uint8_t value) {
        if (byteStream)
            return hexadecimal ? Printed(": | 0x%.2X |", value) : Printed(": | %i |", value);
        return hexadecimal ? Printed(": 0x%.2X", value) : Printed(": %i", value);
    };
    row("dest", byteValue(frame[0]));
    if (byteStream) {
        row("len", hexadecimal ? Printed(": | 0x%.2X | 0x%.2X |", frame[1], frame[2])
                               : Printed(": | %i | %i |", frame[1], frame[2]));
    } else {
        row("len", hexadecimal ? Printed(": 0x%.4X", length) : Printed(": %i", length));
    }
    row("send", byteValue(frame[3]));
    row("mtype", byteValue(frame[4]));
    writer.Put("data", writer.Left());
    if (writer.Narrow()) {
        writer.Put(": not visible", valueX);
    } else {
        const size_t count = std::min<size_t>(length, kDataAreaSize);
        PutBytes(writer, valueX, std::span(frame).subspan(kDataOffset, count), hexadecimal,
                 length != 0);
    }
    writer.EndBlock();
}

std::string ParameterValue(uint8_t type, std::span<const uint8_t> bytes, bool hexadecimal) {
    const uint32_t value = ReadUnsigned(bytes);
    switch (type) {
        case TYPE_BYTE:
            return hexadecimal ? Printed("0x%.2X", value & 0xFF) : Printed("%i", value & 0xFF);
        case TYPE_WORD:
            return hexadecimal ? Printed("0x%.4X", value & 0xFFFF) : Printed("%i", value & 0xFFFF);
        case TYPE_INT:
            return hexadecimal ? Printed("0x%.4X", value & 0xFFFF)
                               : Printed("%i", static_cast<int16_t>(value));
        case TYPE_LWORD:
            return hexadecimal ? Printed("0x%.8X", value) : Printed("%u", value);
        case TYPE_LINT:
            return hexadecimal ? Printed("0x%.8X", value)
                               : Printed("%i", static_cast<int32_t>(value));
        case TYPE_FLOAT:
            return hexadecimal ? Printed("0x%.8X", value)
                               : Printed("%.4f", static_cast<double>(std::bit_cast<float>(value)));
        case TYPE_BOOL:
            return value != 0 ? "TRUE" : "FALSE";
        case TYPE_BITS8:
            return BitPatternText(value, 8);
        case TYPE_BITS16:
            return BitPatternText(value, 16);
        case TYPE_BITS32:
            return BitPatternText(value, 32);
        default:
            return {};
    }
}

bool IsBlock(uint8_t type) {
    return type == TYPE_SYSPARAM || type == TYPE_SYSPARAM_EX || type == TYPE_INT_ARRAY ||
           type == TYPE_BYTE_ARRAY;
}

void ParameterBlock(Writer& writer, const CParameterList* wire, bool out, bool hexadecimal) {
    const size_t count =
        wire == nullptr ? 0 : (out ? wire->GetSendCount() : wire->GetReturnCount());
    if (count == 0) {
        writer.Line("no parameter");
        writer.EndBlock();
        return;
    }
    double typeWidth = 0;
    double nameWidth = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t type = out ? wire->GetSendType(i) : wire->GetReturnType(i);
        typeWidth = std::max(typeWidth, writer.Width(std::string(ParameterTypeName(type))));
        nameWidth =
            std::max(nameWidth, writer.Width(out ? wire->GetSendName(i) : wire->GetReturnName(i)));
    }
    const double nameX = writer.Left() + typeWidth + 200;
    const double valueX = nameX + nameWidth + 200;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t type = out ? wire->GetSendType(i) : wire->GetReturnType(i);
        const auto bytes = out ? wire->GetSendValue(i) : wire->GetReturnValue(i);
        writer.Put(std::string(ParameterTypeName(type)), writer.Left());
        writer.Put(out ? wire->GetSendName(i) : wire->GetReturnName(i), nameX);
        if (!IsBlock(type)) {
            writer.Put(" = " + ParameterValue(type, bytes, hexadecimal), valueX);
        } else if (writer.Narrow()) {
            writer.Put("= not visible", valueX);
        } else {
            PutBytes(writer, valueX, bytes, hexadecimal, false);
        }
        writer.NextLine();
    }
    writer.EndBlock();
}

}  // namespace

std::string ReportTitle(const CCommand& command) {
    const auto* bus = dynamic_cast<const CKelCommand*>(&command);
    return TitlePrefix(command) + command.GetName() +
           Printed(" ( 0x%.2X )", bus != nullptr ? bus->GetCode() : 0);
}

std::string ReportStatusLine(const CCommand& command, bool shortTrials) {
    static const char* const kStates[] = {"Command Idle ", "Command Processing ",
                                          "Command Succeeded ", "Command Failed "};
    std::string line = command.GetStatus() < 4 ? kStates[command.GetStatus()] : "";
    line += shortTrials ? Printed("| Trials: %i |", command.GetTrials())
                        : Printed("| Receive Trials: %i | ", command.GetTrials());
    line += Printed("Time: %ims | ", command.GetExecutionTime());
    line += Printed("Error: %i | ", command.GetError());
    line += Printed("Warning: %i | ", command.GetWarning());
    return line;
}

std::string ReportRemark(const CCommand& command) {
    std::string remark = "Remark: ";
    if (command.GetError() != 0) remark += command.GetErrorText();
    if (command.GetError() != 0 && command.GetWarning() != 0) remark += "; ";
    if (command.GetWarning() != 0) remark += command.GetWarningText();
    return remark;
}

ReportLayout LayOutCommandReport(const CCommand& command, const ReportOptions& options,
                                 const ReportMetrics& metrics, double x, double y) {
    ReportLayout layout;
    Writer writer(metrics, x, y, layout);
    if (options.title) writer.Line(ReportTitle(command), ReportFont::kBold);
    writer.Line(ReportStatusLine(command, options.shortTrials));
    writer.Line(ReportRemark(command));
    if (const auto* bus = dynamic_cast<const CKelCommand*>(&command)) {
        auto* wire = const_cast<CCommand&>(command).GetSendParameters();
        const bool stream = options.style == ReportStyle::kByteStream;
        auto block = [&](bool out, const FrameBuffer& frame) {
            if (options.style == ReportStyle::kParameter) {
                writer.Line(std::string(out ? "Parameter Out" : "Parameter In") +
                                Printed(" (0x%.2X)", frame[4]),
                            ReportFont::kBold);
                ParameterBlock(writer, wire, out, options.hexadecimal);
                return;
            }
            const char* label = stream ? (out ? "ByteStream Out" : "ByteStream In")
                                       : (out ? "Message Out" : "Message In");
            writer.Line(label, ReportFont::kBold);
            MessageBlock(writer, frame, stream, options.hexadecimal);
        };
        if (bus->IsMessageBuilt()) block(true, bus->GetMessageBuffer());
        if (bus->IsAnswerReceived()) block(false, bus->GetAnswerBuffer());
    }
    layout.bottom = writer.Y();
    return layout;
}

}  // namespace kelcmd::dialogs
