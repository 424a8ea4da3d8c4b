#include "input_names.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QMetaEnum>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace kelcmd::testing {
namespace {

bool IsInput(QAccessible::Role role) {
    static constexpr QAccessible::Role kInputs[] = {
        QAccessible::EditableText, QAccessible::SpinBox,        QAccessible::ComboBox,
        QAccessible::CheckBox,     QAccessible::RadioButton,    QAccessible::List,
        QAccessible::Table,        QAccessible::Tree,           QAccessible::PushButton,
        QAccessible::ButtonMenu,   QAccessible::ButtonDropDown, QAccessible::Slider,
        QAccessible::Dial};
    return std::find(std::begin(kInputs), std::end(kInputs), role) != std::end(kInputs);
}

QString WithoutMarks(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&') text.remove(i, 1);  // "&&" keeps one '&'
    }
    return text;
}

// The title of the nearest group box around `object`, as Qt reads it.
QString GroupTitle(QObject* object) {
    for (QObject* parent = object != nullptr ? object->parent() : nullptr; parent != nullptr;
         parent = parent->parent()) {
        if (auto* group = qobject_cast<QGroupBox*>(parent)) return WithoutMarks(group->title());
    }
    return {};
}

// The text of the label (a QLabel whose buddy the input is) that names the input, if any.
std::optional<QString> OwnLabel(QAccessibleInterface& input) {
    for (const auto& relation : input.relations(QAccessible::Label)) {
        QAccessibleInterface* label = relation.first;
        if (label != nullptr && qobject_cast<QLabel*>(label->object()) != nullptr) {
            return label->text(QAccessible::Name);
        }
    }
    return std::nullopt;
}

QString ExplicitName(QAccessibleInterface& input) {
    auto* widget = qobject_cast<QWidget*>(input.object());
    return widget != nullptr ? widget->accessibleName() : QString();
}

// What names the input. A drop-down list's name is its current entry on Linux; a screen reader
// names the list by its label relation (a buddy label, else the group box around it).
QString Heard(QAccessibleInterface& input) {
    if (input.role() != QAccessible::ComboBox) return input.text(QAccessible::Name).trimmed();
    if (const std::optional<QString> label = OwnLabel(input)) return label->trimmed();
    const QString name = ExplicitName(input);
    return name.isEmpty() ? GroupTitle(input.object()) : name;
}

// Named on purpose (by its own label or explicitly) rather than by Qt's fallback on the group;
// a group's title may well be the label of the one list it frames.
bool NamedOnPurpose(QAccessibleInterface& input) {
    return !ExplicitName(input).isEmpty() || OwnLabel(input).has_value();
}

void Walk(QAccessibleInterface& node, InputNames& names) {
    for (int i = 0; i < node.childCount(); ++i) {
        QAccessibleInterface* child = node.child(i);
        if (child == nullptr) continue;
        const QAccessible::Role role = child->role();
        // An input's children are its own parts (rows, cells, the popup list).
        if (!IsInput(role)) {
            Walk(*child, names);
            continue;
        }
        ++names.inputs;
        const QString name = Heard(*child);
        const QString title = GroupTitle(child->object());
        if (name.isEmpty() || (!title.isEmpty() && name == title && !NamedOnPurpose(*child))) {
            const QString objectName =
                child->object() != nullptr ? child->object()->objectName() : QString();
            names.unnamed.push_back(
                QString("%1 '%2' called '%3'")
                    .arg(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role))
                    .arg(objectName, name));
        }
    }
}

}  // namespace

InputNames ReadInputNames(QWidget& window) {
    InputNames names;
    if (QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window)) {
        Walk(*root, names);
    }
    return names;
}

QString AccessibleName(QWidget& widget) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(&widget);
    return node != nullptr ? Heard(*node) : QString();
}

}  // namespace kelcmd::testing
