// File commands: build a default set, check and repair a parameter file,
// compare two parameter files.
#include "Command.h"

#include "files/FieldChanges.h"
#include "files/ParameterFileIo.h"
#include "image/BikeCatalogue.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"
#include "lang/MessageTable.h"
#include "link/Identity.h"
#include "text/ParseNumber.h"

#include <iostream>

namespace zentrova::cli {

namespace {

// The file to `output`, or to standard output without one.
int emit(const ParameterImage& image, bool extMonitor, const std::optional<std::string>& output) {
    const ParameterFileExtras extras = ExtrasFor(image, extMonitor);
    if (!output) {
        std::cout << WriteParameterFile(image, extras) << std::flush;
        return std::cout ? EXIT_SAME : EXIT_FAILED;
    }
    const FileOutcome saved = SaveParameterFile(*output, image, extras);
    return saved ? EXIT_SAME : ReportFileFailure(*output, saved);
}

int runDefaults(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseArgs(args, {"-o"});
    if (!parsed.error.empty() || parsed.positional.size() != 1) {
        return UsageError("defaults",
                          parsed.error.empty() ? "expects one BIKE_CODE" : parsed.error);
    }
    const auto code = ParseNumber<int>(parsed.positional[0], 0, BIKE_COUNT - 1);
    if (!code) {
        return UsageError("defaults", "unknown bike code '" + parsed.positional[0] +
                                          "' (known codes are 0 to 44)");
    }
    ParameterImage image;
    image[img::BIKE] = static_cast<std::uint8_t>(*code);
    bool chokeOutput = false;
    BuildDefaultSet(image, chokeOutput);
    ValidateImage(image);
    return emit(image, false, parsed.value("-o"));
}

int runCheck(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseArgs(args, {"-o"});
    if (!parsed.error.empty() || parsed.positional.size() != 1) {
        return UsageError("check", parsed.error.empty() ? "expects one FILE" : parsed.error);
    }
    const std::string& path = parsed.positional[0];
    ParameterImage image;
    bool extMonitor = false;
    if (const FileOutcome loaded = LoadParameterFile(path, image, extMonitor); !loaded) {
        return ReportFileFailure(path, loaded);
    }
    const ParameterImage read = image;
    ValidateImage(image);
    const std::vector<FieldChange> changes = FileFieldChanges(read, image);
    for (const FieldChange& change : changes) {
        std::cout << DescribeChange(change, read, image) << "\n";
    }
    std::cout << std::flush;
    if (const auto output = parsed.value("-o");
        output && emit(image, extMonitor, output) != EXIT_SAME) {
        return EXIT_FAILED;
    }
    return changes.empty() ? EXIT_SAME : EXIT_CHANGED;
}

int runDiff(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseArgs(args, {});
    if (!parsed.error.empty() || parsed.positional.size() != 2) {
        return UsageError("diff", parsed.error.empty() ? "expects two files" : parsed.error);
    }
    ParameterImage images[2];
    bool extMonitor[2] = {false, false};
    for (int i = 0; i < 2; ++i) {
        const std::string& path = parsed.positional[static_cast<std::size_t>(i)];
        if (const FileOutcome loaded = LoadParameterFile(path, images[i], extMonitor[i]); !loaded) {
            return ReportFileFailure(path, loaded);
        }
    }
    bool differ = false;
    if (extMonitor[0] != extMonitor[1]) {
        std::cout << "EXT_MON: " << extMonitor[0] << " -> " << extMonitor[1] << "\n";
        differ = true;
    }
    for (const FieldChange& change : FileFieldChanges(images[0], images[1])) {
        std::cout << DescribeChange(change, images[0], images[1]) << "\n";
        differ = true;
    }
    std::cout << std::flush;
    return differ ? EXIT_CHANGED : EXIT_SAME;
}

const CommandRegistrar defaultsCommand{{
    "defaults",
    "write the default parameter set of a motorbike",
    "defaults BIKE_CODE [-o FILE]\n"
    "Builds the default parameter set of bike code BIKE_CODE (0 to 44), validates it\n"
    "and writes it as a parameter file to FILE, or to standard output without -o.\n"
    "Exit 0 when written, 2 on an unknown code or a write error.",
    runDefaults,
}};

const CommandRegistrar checkCommand{{
    "check",
    "validate a parameter file and list what the validation repairs",
    "check FILE [-o OUT]\n"
    "Reads FILE onto an all-zero image, validates it and prints one line per field\n"
    "the validation changed: name, index, old and new value. With -o the repaired\n"
    "set is written to OUT.\n"
    "Exit 0 when nothing changed, 1 when something was repaired, 2 when FILE cannot\n"
    "be used or OUT cannot be written.",
    runCheck,
}};

const CommandRegistrar diffCommand{{
    "diff",
    "list the fields in which two parameter files differ",
    "diff A B\n"
    "Reads both files onto all-zero images and prints every field that differs, as\n"
    "NAME: A-value -> B-value; map cells as NAME[row][column] with the load point\n"
    "and the rpm of the column.\n"
    "Exit 0 when equal, 1 when they differ, 2 when a file cannot be used.",
    runDiff,
}};

} // namespace

} // namespace zentrova::cli
