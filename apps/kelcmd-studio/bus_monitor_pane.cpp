#include "bus_monitor_pane.h"

#include <QTime>

#include "command/kel_command.h"
#include "transport/frame.h"
#include "transport/result_codes.h"

namespace {

QString Bytes(const kelcmd::FrameBuffer& frame) {
    const uint16_t length = kelcmd::LengthOf(static_cast<uint16_t>(frame[1] << 8 | frame[2]));
    QStringList bytes;
    for (size_t i = 0; i < kelcmd::kHeaderSize + length; ++i) {
        bytes << QString::asprintf("%02X", frame[i]);
    }
    return bytes.join(' ');
}

}  // namespace

BusMonitorPane::BusMonitorPane(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("bus_monitor");
    setHeaderLabels({"Time", "Direction", "Bytes", "Result"});
    setRootIsDecorated(false);
    setColumnWidth(0, 100);
    setColumnWidth(1, 70);
    setColumnWidth(2, 560);
}

void BusMonitorPane::ReceiveCommand(const kelcmd::CKelCommand& command) {
    // Observers hear the exchange before it is judged: the result code is what is known.
    const QString result = command.GetError() == 0
                               ? QString("OK")
                               : QString::fromStdString(kelcmd::ResultCodeText(command.GetError()));
    const QString sent = command.IsMessageBuilt() ? Bytes(command.GetMessageBuffer()) : QString();
    const QString received =
        command.IsAnswerReceived() ? Bytes(command.GetAnswerBuffer()) : QString();
    QMetaObject::invokeMethod(
        this,
        [this, sent, received, result] {
            if (!sent.isEmpty()) AddRow("out", sent, result);
            if (!received.isEmpty()) AddRow("in", received, result);
        },
        Qt::QueuedConnection);
}

void BusMonitorPane::AddRow(const QString& direction, const QString& bytes, const QString& result) {
    auto* row = new QTreeWidgetItem(this);
    row->setText(0, QTime::currentTime().toString("HH:mm:ss.zzz"));
    row->setText(1, direction);
    row->setText(2, bytes);
    row->setText(3, result);
    scrollToItem(row);
}
