#include "dialogs/toolkit/field_labels.h"

#include <QLabel>
#include <QWidget>

namespace kelcmd::dialogs {
namespace {

// "Timeout:" is read "Timeout".
void SetName(QWidget& field, QString words) {
    words = words.trimmed();
    if (words.endsWith(':')) words.chop(1);
    field.setAccessibleName(words.trimmed());
}

}  // namespace

void NameField(QWidget& field, const QString& label) {
    QString words = label;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == '&') words.remove(i, 1);  // "&&" keeps one '&'
    }
    SetName(field, words);
}

void LabelField(QLabel& label, QWidget& field) {
    // A buddy would turn an '&' of the text into an accelerator mark and so change what the label
    // shows ("Speed & Torque"); such a label names its field only by its words.
    if (!label.text().contains('&')) label.setBuddy(&field);
    // The buddy alone names the field only while the label is its sibling; the name holds
    // wherever the layout puts them.
    SetName(field, label.text());
}

QLabel* NewFieldLabel(const QString& text, QWidget& field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    LabelField(*label, field);
    return label;
}

}  // namespace kelcmd::dialogs
