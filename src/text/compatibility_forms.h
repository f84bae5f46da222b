#pragma once

#include <string>
#include <string_view>

namespace vellumax {

// A GBK text with every character replaced by its compatibility form (the
// Unicode NFKC normalisation): "传真：（０７７３）" becomes "传真:(0773)".
// Characters without a GBK form, and bytes that are not GBK, become "?".
std::string foldCompatibilityForms(std::string_view gbk);

} // namespace vellumax
