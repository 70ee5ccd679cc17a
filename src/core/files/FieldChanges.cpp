#include "files/FieldChanges.h"

#include "files/ParameterFile.h"

namespace zentrova {

namespace {

constexpr std::size_t FIRST_FILE_BYTE = 100;

int columnRpm(const ParameterImage& image, const FieldRef& cell) {
    return image[img::rpmRowOfPage(cell.page) + cell.column] * 100;
}

} // namespace

std::vector<FieldChange> FileFieldChanges(const ParameterImage& before,
                                          const ParameterImage& after) {
    std::vector<FieldChange> changes;
    for (std::size_t k = FIRST_FILE_BYTE; k < IMAGE_SIZE; ++k) {
        const std::optional<FileValue> value = FileValueOf(k);
        if (value && before[k] != after[k]) {
            changes.push_back({FieldAt(k), value->Physical(before[k]), value->Physical(after[k])});
        }
    }
    return changes;
}

std::string DescribeChange(const FieldChange& change, const ParameterImage& before,
                           const ParameterImage& after) {
    std::string text = FieldLabel(change.field);
    if (change.field.shape == FieldShape::Map) {
        const int rpmBefore = columnRpm(before, change.field);
        const int rpmAfter = columnRpm(after, change.field);
        text += " (" + LoadPointText(change.field.page, change.field.row) + ", " +
                std::to_string(rpmBefore);
        if (rpmAfter != rpmBefore) {
            text += '/' + std::to_string(rpmAfter);
        }
        text += " rpm)";
    }
    return text + ": " + std::to_string(change.before) + " -> " + std::to_string(change.after);
}

} // namespace zentrova
