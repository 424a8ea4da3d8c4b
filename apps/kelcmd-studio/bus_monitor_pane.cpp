#include "bus_monitor_pane.h"

#include <QDateTime>

#include "platform/clock.h"

namespace {

QString Bytes(const std::vector<uint8_t>& bytes) {
    QStringList hex;
    for (const uint8_t byte : bytes) hex << QString::asprintf("%02X", byte);
    return hex.join(' ');
}

// The wall-clock time of a monotonic time of the tap.
QString TimeOf(uint64_t monotonicNs) {
    const int64_t agoMs =
        static_cast<int64_t>((kelcmd::MonotonicNanoseconds() - monotonicNs) / 1000000);
    return QDateTime::currentDateTime().addMSecs(-agoMs).toString("HH:mm:ss.zzz");
}

}  // namespace

BusMonitorPane::BusMonitorPane(QWidget* parent)
    : QTreeWidget(parent),
      tap_({}, kelcmd::TapSubscription::kDefaultCapacity,
           [this](const kelcmd::BusEvent& event) { Show(event); }) {
    setObjectName("bus_monitor");
    setHeaderLabels({"Time", "Direction", "Bytes", "Result"});
    setRootIsDecorated(false);
    setColumnWidth(0, 100);
    setColumnWidth(1, 70);
    setColumnWidth(2, 560);
}

void BusMonitorPane::Show(const kelcmd::BusEvent& event) {
    const QString time = TimeOf(event.timeNs);
    QString direction = QString::fromLatin1(kelcmd::BusDirectionName(event.direction));
    if (event.kind != kelcmd::BusEventKind::kRequest &&
        event.kind != kelcmd::BusEventKind::kAnswer &&
        event.kind != kelcmd::BusEventKind::kResult) {
        direction += QString(" (%1)").arg(kelcmd::BusEventKindName(event.kind));
    }
    const QString bytes = Bytes(event.bytes);
    const QString result = event.kind == kelcmd::BusEventKind::kRequest
                               ? QString()
                               : QString::fromStdString(kelcmd::BusEventText(event));
    QMetaObject::invokeMethod(
        this, [this, time, direction, bytes, result] { AddRow(time, direction, bytes, result); },
        Qt::QueuedConnection);
}

void BusMonitorPane::AddRow(const QString& time, const QString& direction, const QString& bytes,
                            const QString& result) {
    auto* row = new QTreeWidgetItem(this);
    row->setText(0, time);
    row->setText(1, direction);
    row->setText(2, bytes);
    row->setText(3, result);
    scrollToItem(row);
}
