#pragma once

#include <string>
#include <string_view>

namespace vellumax {

// Whether a GBK text may hold characters that have a plainer compatibility
// form: the full-width letters, digits and signs (０１２, ：, （）, －) and the
// ideographic space. A cheap byte test; it may answer true for a text that
// has none.
bool mayHoldCompatibilityForms(std::string_view gbk);

// A GBK text with every character replaced by its compatibility form (the
// Unicode NFKC normalisation): "传真：（０７７３）" becomes "传真:(0773)".
// Characters without a GBK form, and bytes that are not GBK, become "?".
std::string foldCompatibilityForms(std::string_view gbk);

} // namespace vellumax
