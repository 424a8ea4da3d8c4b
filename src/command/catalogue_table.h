#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kelcmd {

class CKelStandardCommand;

// One parameter of a catalogue row. A size of 0 takes the type's own size (1, 2, 4, or the size
// of a system parameter structure); the arrays give theirs explicitly.
struct CatalogueParameter {
    const char* name;
    uint8_t type;
    uint32_t size = 0;
};

// A default value, written with the width of its parameter's type: an integer or a real number.
// So a table can say {1, 0.5, 0.5} for a Byte and two Floats.
class CatalogueValue {
  public:
    CatalogueValue(int value) : integer_(value), real_(value), isReal_(false) {}
    CatalogueValue(long long value)
        : integer_(value), real_(static_cast<double>(value)), isReal_(false) {}
    CatalogueValue(unsigned value) : integer_(value), real_(value), isReal_(false) {}
    CatalogueValue(double value)
        : integer_(static_cast<long long>(value)), real_(value), isReal_(true) {}

    long long Integer() const { return integer_; }
    double Real() const { return real_; }
    bool IsReal() const { return isReal_; }

  private:
    long long integer_;
    double real_;
    bool isReal_;
};

// One command of a family's catalogue: name, code, the parameters in wire order, the PC-side
// extra parameters, the defaults that the family's SetDefaults writes, and the answer timeout.
//
//   {.name = "SetProfile", .code = 33,
//    .send = {{"profiletype", TYPE_BYTE}, {"accel", TYPE_FLOAT}, {"decel", TYPE_FLOAT}},
//    .defaults = {1, 0.5, 0.5}},
struct CatalogueCommand {
    const char* name;
    uint8_t code;
    std::vector<CatalogueParameter> send = {};
    std::vector<CatalogueParameter> returns = {};
    // Default send values in index order; parameters without one keep their zero bytes.
    std::vector<CatalogueValue> defaults = {};
    // Set by SetDefaults when present; otherwise the command's timeout is left as it is (100 ms
    // for a fresh prototype).
    std::optional<uint32_t> answerTimeout = std::nullopt;
    std::vector<CatalogueParameter> extraSend = {};
    std::vector<CatalogueParameter> extraReturns = {};
    std::vector<CatalogueValue> extraDefaults = {};
    // For defaults a value list cannot say; runs after the listed defaults.
    std::function<void(CKelStandardCommand&)> customDefaults = nullptr;
};

// A family's command codes: first to last, inclusive.
struct CodeRange {
    uint8_t first;
    uint8_t last;
};

}  // namespace kelcmd
