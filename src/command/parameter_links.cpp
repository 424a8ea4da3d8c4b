#include "command/parameter_links.h"

#include <algorithm>

namespace kelcmd {

void CParameterLinks::Declare(std::string_view fromCommand, std::string_view returnParameter,
                              std::string_view toCommand, std::string_view sendParameter) {
    const bool known = std::any_of(links_.begin(), links_.end(), [&](const ParameterLink& link) {
        return link.fromCommand == fromCommand && link.returnParameter == returnParameter &&
               link.toCommand == toCommand && link.sendParameter == sendParameter;
    });
    if (known) return;
    links_.push_back(ParameterLink{std::string(fromCommand), std::string(returnParameter),
                                   std::string(toCommand), std::string(sendParameter)});
}

std::vector<const ParameterLink*> CParameterLinks::FindFrom(
    std::string_view command, std::string_view returnParameter) const {
    std::vector<const ParameterLink*> found;
    for (const ParameterLink& link : links_) {
        if (link.fromCommand == command && link.returnParameter == returnParameter) {
            found.push_back(&link);
        }
    }
    return found;
}

std::vector<const ParameterLink*> CParameterLinks::FindTo(std::string_view command,
                                                          std::string_view sendParameter) const {
    std::vector<const ParameterLink*> found;
    for (const ParameterLink& link : links_) {
        if (link.toCommand == command && link.sendParameter == sendParameter) {
            found.push_back(&link);
        }
    }
    return found;
}

const ParameterLink* CParameterLinks::Find(std::string_view command,
                                           std::string_view parameter) const {
    for (const ParameterLink& link : links_) {
        if ((link.fromCommand == command && link.returnParameter == parameter) ||
            (link.toCommand == command && link.sendParameter == parameter)) {
            return &link;
        }
    }
    return nullptr;
}

}  // namespace kelcmd
