#include "dialogs/toolkit/object_names.h"

#include <cctype>

namespace kelcmd::dialogs {

QString ObjectNameFor(const std::string& label) {
    std::string name;
    bool gap = false;
    for (const char character : label) {
        const unsigned char c = static_cast<unsigned char>(character);
        if (c == '&') continue;
        if (std::isalnum(c) != 0) {
            if (gap && !name.empty()) name += '_';
            name += static_cast<char>(std::tolower(c));
            gap = false;
        } else {
            gap = true;
        }
    }
    return QString::fromStdString(name);
}

QString ObjectNamer::Name(const std::string& label, const std::string& context) {
    QString name = ObjectNameFor(label);
    if (used_.count(name) != 0 && !context.empty()) name = ObjectNameFor(context + " " + label);
    for (int suffix = 2; used_.count(name) != 0; ++suffix) {
        name = ObjectNameFor(label) + "_" + QString::number(suffix);
    }
    used_.insert(name);
    return name;
}

}  // namespace kelcmd::dialogs
