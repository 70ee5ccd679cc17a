// libFuzzer target for the parameter file reader. Any input must read
// without harm; a file that is not found changes nothing; a file that is
// found, written again and read back gives the same file once more. The
// first bytes also serve as an identity block and as a trailer text.
#include "files/Cp1250.h"
#include "files/ParameterFile.h"
#include "link/Identity.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace zentrova;

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ParameterImage start;
    start.bytes.fill(0x5A);
    std::memcpy(start.bytes.data(), data, std::min(size, BLOCK_SIZE)); // block 0
    ParameterImage image = start;
    bool extMonitor = false;
    const bool found = ReadParameterFile(text, image, extMonitor);
    if (!found) {
        check(image == start && !extMonitor);
        return 0;
    }
    check(std::equal(image.bytes.begin(), image.bytes.begin() + BLOCK_SIZE, start.bytes.begin()));

    ParameterFileExtras extras{extMonitor, DecodeIdentity(image), {"Jan  1 2000", "00:00:00"}};
    // Any bytes as a version label, as if UTF-8; without blanks it is one
    // token at the end of the HEX line and cannot give a key its values.
    std::string label(text.substr(0, 40));
    std::erase_if(label, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    extras.unit.UnitVersionText = label;
    const std::string written = WriteParameterFile(image, extras);

    ParameterImage again = start;
    bool extAgain = !extMonitor;
    check(ReadParameterFile(written, again, extAgain));
    check(extAgain == extMonitor);
    check(WriteParameterFile(again, extras) == written);
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        const auto value = FileValueOf(k);
        if (!value) {
            check(again[k] == start[k]);
        } else if (value->flag) {
            check((again[k] != 0) == (image[k] != 0));
        } else {
            check(again[k] == image[k]);
        }
    }
    check(Utf8ToCp1250(Cp1250ToUtf8(text.substr(0, 64))).size() == std::min<std::size_t>(size, 64));
    return 0;
}
