#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumax {

// What wide reading knows of a number in the form the marker rule brings it
// to (digits and dashes, a leading 0): whether it is whole by itself, its
// area code, and the national service numbers, which keep a form of their
// own.

// How many digits of area code a number opens with: 010 and 02x have
// three, 0 and three digits from 3 on have four (as 0571); 0 for none.
size_t areaCodeLength(std::string_view number);

// A number of the national 400 and 800 services (the three digits, then
// seven) as it is dialled, without a 0 in front: "04006617163-01121" is
// "400-6617163-01121", "0400-661-7163" is "400-6617163". An extension after
// a dash stays. Nothing for any other number.
std::optional<std::string> serviceNumberForm(std::string_view number);

// A normalised number as wide reading gives it: a service number in its own
// form, an area code written twice once, any other as it is.
std::string wideNumberForm(std::string number);

// The area code a number opens with, with its 0 ("010", "021", "0571"),
// when the rest is a local number of 7 or 8 digits, possibly with an
// extension after a dash. Empty for mobiles, service numbers and anything
// shorter or longer.
std::string_view areaCodeOf(std::string_view number);

// Whether a number can be dialled as it stands: an area code and a local
// number, a mobile, or a service number.
bool isWholeNumber(std::string_view number);

// Whether a number as a page writes it is a local number alone: 7 or 8
// digits that do not start with 0 or 1, possibly with an extension after a
// dash ("64417179", "86627096-888"); with `grouped`, the digits may come in
// groups parted by dashes ("2763-7223").
bool isLocalNumber(std::string_view plain, bool grouped = false);

// A number with its last digits replaced, as a list writes the next number
// of a block: "021-53853033" and "3022" give "021-53853022". Nothing unless
// `digits` are digits only, and fewer than those of the number's last group.
std::optional<std::string> withLastDigits(std::string_view number, std::string_view digits);

} // namespace vellumax
