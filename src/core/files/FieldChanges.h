// The fields in which two images differ, as far as a parameter file holds
// them, described by name and physical value for people to read.
#pragma once

#include "image/FieldNames.h"
#include "image/ParameterImage.h"

#include <string>
#include <vector>

namespace zentrova {

struct FieldChange {
    FieldRef field;
    int before = 0; // physical values as the file writes them
    int after = 0;
};

// Every byte held by the parameter file that differs, in image order.
std::vector<FieldChange> FileFieldChanges(const ParameterImage& before,
                                          const ParameterImage& after);

// "BASE_ADV: 50 -> 40"; a map cell also names its load point and the rpm of
// its column, both rpm values when the two images' rpm rows differ there:
// "IGN[3][5] (TPS 10 %, 7000 rpm): 39 -> 40".
std::string DescribeChange(const FieldChange& change, const ParameterImage& before,
                           const ParameterImage& after);

} // namespace zentrova
