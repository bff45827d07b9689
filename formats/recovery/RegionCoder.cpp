#include "formats/recovery/RegionCoder.h"

#ifdef PCW_HAVE_ISAL
#include <isa-l/erasure_code.h>
#endif

namespace recovery {

RegionCoder::RegionCoder(GfMatrix coefficients) : coefficients_(std::move(coefficients)) {
#ifdef PCW_HAVE_ISAL
    if (coefficients_.field != Field::Gf256) return;
    onIsaL_ = true;
    std::vector<uint8_t> bytes(coefficients_.cells.begin(), coefficients_.cells.end());
    tables_.resize(size_t(32) * coefficients_.rows * coefficients_.columns);
    if (!tables_.empty())
        ec_init_tables(coefficients_.columns, coefficients_.rows, bytes.data(), tables_.data());
#endif
}

bool RegionCoder::Accelerated() {
#ifdef PCW_HAVE_ISAL
    return true;
#else
    return false;
#endif
}

void RegionCoder::Apply(const uint8_t* const* inputs, uint8_t* const* outputs, size_t bytes) const {
    if (bytes == 0 || coefficients_.rows == 0) return;
#ifdef PCW_HAVE_ISAL
    // ISA-L takes its sources as non-const; it only reads them.
    if (onIsaL_) {
        ec_encode_data(static_cast<int>(bytes), coefficients_.columns, coefficients_.rows,
                       const_cast<unsigned char*>(tables_.data()),
                       const_cast<unsigned char**>(inputs), const_cast<unsigned char**>(outputs));
        return;
    }
#endif
    MultiplyRegionsPortably(coefficients_, inputs, outputs, bytes);
}

}  // namespace recovery
