#pragma once

#include <QString>
#include <set>
#include <string>

namespace kelcmd::dialogs {

// The object name of a widget with this label, so that tests find it: lower case letters and
// digits, every other run of characters one '_', accelerator marks dropped ("&OK" -> "ok",
// "Input 1" -> "input_1", "Timeout" -> "timeout").
QString ObjectNameFor(const std::string& label);

// Gives each widget of one window a distinct name: the label's name, or, when that is taken,
// "<context>_<label>".
class ObjectNamer {
  public:
    QString Name(const std::string& label, const std::string& context = {});

  private:
    std::set<QString> used_;
};

}  // namespace kelcmd::dialogs
