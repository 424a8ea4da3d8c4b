#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelcmd {

// A declared path for a value: the return parameter of one command feeds the send parameter of
// another (a value read in the command tree can be carried into the matching write command).
struct ParameterLink {
    std::string fromCommand;
    std::string returnParameter;
    std::string toCommand;
    std::string sendParameter;
};

// The table of declared links. Names compare exactly. Declaring the same pair twice keeps one.
class CParameterLinks {
  public:
    void Declare(std::string_view fromCommand, std::string_view returnParameter,
                 std::string_view toCommand, std::string_view sendParameter);

    // Every link that starts at the return parameter of the command.
    std::vector<const ParameterLink*> FindFrom(std::string_view command,
                                               std::string_view returnParameter) const;
    // Every link that ends at the send parameter of the command.
    std::vector<const ParameterLink*> FindTo(std::string_view command,
                                             std::string_view sendParameter) const;
    // The first link with the command and parameter at either end, or null.
    const ParameterLink* Find(std::string_view command, std::string_view parameter) const;

    const std::vector<ParameterLink>& All() const { return links_; }
    size_t Count() const { return links_.size(); }
    void Clear() { links_.clear(); }

  private:
    std::vector<ParameterLink> links_;
};

}  // namespace kelcmd
