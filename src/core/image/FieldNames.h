// The name of every image byte: the field it belongs to and its place in
// the field (array index, or load row and rpm column of a map).
#pragma once

#include "image/ParameterImage.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrova {

enum class FieldShape : std::uint8_t {
    Single,   // one byte
    Array,    // a run of bytes, index from 0
    Map,      // ten load rows of fifteen rpm columns
    Reserved, // carried unchanged, no meaning
};

struct FieldRef {
    std::string_view name; // the image name ("LIMITER_START", "IGN"); "reserved"
    FieldShape shape = FieldShape::Reserved;
    std::size_t first = 0;  // the field's first byte
    std::size_t index = 0;  // position within the field (byte - first)
    std::size_t row = 0;    // maps only: load row 0..9
    std::size_t column = 0; // maps only: rpm column 0..14
    std::size_t page = 0;   // maps only: map page 0..4 (its rpm row is rpmRowOfPage(page))
};

// The field that image byte k (0..1199) belongs to.
FieldRef FieldAt(std::size_t k);

// "BASE_ADV", "CHOKE_CORR[2]", "IGN[3][5]", "reserved[161]".
std::string FieldLabel(const FieldRef& field);

// The load point of a map row: "TPS 10 %", "IAP 70 %".
std::string LoadPointText(std::size_t page, std::size_t row);

} // namespace zentrova
