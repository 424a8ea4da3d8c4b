#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace kelcmd::dialogs {

// A screen reader (or any tool reading the accessibility tree) names an input by the label that
// is its buddy; without one Qt falls back on the title of the group box around it, which names
// every field of the group alike. These give each input its own label's words.

// A new label showing `text` that names `field`.
QLabel* NewFieldLabel(const QString& text, QWidget& field, QWidget* parent = nullptr);
// An existing label that names `field`.
void LabelField(QLabel& label, QWidget& field);
// A field that no label of its own names (a list under its group's title, a drop-down list
// beside the radio button that chooses it): named by words that a group box or button shows,
// accelerator marks dropped ("&Name:" is read "Name").
void NameField(QWidget& field, const QString& label);

}  // namespace kelcmd::dialogs
