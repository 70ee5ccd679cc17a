// zentrova-cli on the line: read, verify, program and monitor against
// zentrova-sim over a real pseudo-terminal.
#ifdef ZENTROVA_CLI_PATH

#include "SimProcess.h"
#include "TestFolder.h"

#include "files/ParameterFileIo.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace zentrova;
using namespace zentrova::e2e;
namespace fs = std::filesystem;

namespace {

using CliRun = zentrova::testing::ProgramRun;

std::string slurp(const fs::path& p) {
    return zentrova::testing::TestFolder::contents(p);
}

class CliLink : public zentrova::testing::TestFolder {
protected:
    CliRun cli(const std::string& args) const { return run(ZENTROVA_CLI_PATH, args); }

    // A parameter file of another bike than the simulator's start-up set.
    std::string writeSet(const char* name, std::uint8_t bike, std::uint8_t salt) {
        ParameterImage image;
        image[img::BIKE] = bike;
        bool choke = false;
        BuildDefaultSet(image, choke);
        for (std::size_t k = 0; k < img::MAP_LEN; ++k) {
            image[img::JET_23A + k] = static_cast<std::uint8_t>((k + salt) % 200);
        }
        ValidateImage(image);
        EXPECT_TRUE(SaveParameterFile(path(name), image, {}));
        return path(name);
    }

    static ParameterImage stop(SimProcess& sim, const std::string& dump) {
        sim.process().stop(SIGTERM);
        ParameterImage image;
        const std::string bytes = slurp(dump);
        if (bytes.size() == IMAGE_SIZE) {
            std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
        }
        return image;
    }
};

// The bytes a parameter file holds (not block 0, the reserved or derived bytes).
bool sameFileFields(const ParameterImage& a, const ParameterImage& b) {
    for (std::size_t k = BLOCK_SIZE; k < IMAGE_SIZE; ++k) {
        if (FileValueOf(k) && a[k] != b[k]) {
            return false;
        }
    }
    return true;
}

ParameterImage fromFile(const std::string& file) {
    ParameterImage image;
    bool ext = false;
    LoadParameterFile(file, image, ext);
    return image;
}

} // namespace

TEST_F(CliLink, ReadWritesTheUnitsMemoryAndVerifiesIt) {
    const std::string dump = path("dump.bin");
    SimProcess sim({"--dump", dump});
    ASSERT_FALSE(sim.device().empty());
    const CliRun r = cli("read --port " + sim.device() + " -o " + path("read.ign") + " --image " +
                         path("read.bin"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Verify: OK"), std::string::npos) << r.err;
    const std::string raw = slurp(path("read.bin"));
    ASSERT_EQ(raw.size(), IMAGE_SIZE);
    ParameterImage read;
    std::copy(raw.begin(), raw.end(), read.bytes.begin());
    const ParameterImage unit = stop(sim, dump);
    EXPECT_EQ(read, unit); // identity block and parameters alike
    EXPECT_TRUE(sameFileFields(fromFile(path("read.ign")), unit));
}

TEST_F(CliLink, ProgramLandsInTheUnitAndVerifyAgrees) {
    const std::string dump = path("dump.bin");
    SimProcess sim({"--dump", dump, "--save-ms", "300"});
    const std::string file = writeSet("bike20.ign", 20, 7);
    const CliRun p = cli("program --port " + sim.device() + " " + file);
    EXPECT_EQ(p.exitCode, 0) << p.err;
    EXPECT_NE(p.err.find("Program device: OK"), std::string::npos) << p.err;
    EXPECT_EQ(cli("verify --port " + sim.device() + " " + file).exitCode, 0);

    const CliRun other = cli("verify --port " + sim.device() + " " + writeSet("b.ign", 20, 8));
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_NE(other.err.find("Verify error!"), std::string::npos) << other.err;

    const ParameterImage unit = stop(sim, dump);
    EXPECT_TRUE(sameFileFields(unit, fromFile(file)));
}

TEST_F(CliLink, FailuresEndWithTheirTextsAndNoFile) {
    struct Case {
        std::vector<std::string> simOptions;
        std::string command; // after "--port DEVICE"
        std::string text;
    } cases[] = {
        {{"--silent"}, "read", "Read error!"},
        {{"--version", "46"},
         "read",
         "Unmatched version of PC and Ignition programs!  PC-47, IGN-46"},
        {{"--bikes", "11"}, "program", "This Ignition is not for required motorbike!"},
    };
    const std::string file = writeSet("bike20.ign", 20, 1);
    for (const auto& c : cases) {
        SimProcess sim(c.simOptions);
        const std::string out = path("never.ign");
        const std::string tail = c.command == "read" ? " -o " + out : " " + file;
        const CliRun r = cli(c.command + " --port " + sim.device() + tail);
        EXPECT_EQ(r.exitCode, 1) << c.text;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(CliLink, LostAndDamagedRepliesAreResent) {
    const std::string dump = path("dump.bin");
    SimProcess sim({"--drop", "0.1", "--corrupt", "0.05", "--seed", "11", "--dump", dump});
    const std::string file = writeSet("bike27.ign", 27, 3);
    EXPECT_EQ(cli("program --port " + sim.device() + " " + file).exitCode, 0);
    EXPECT_EQ(cli("read --port " + sim.device() + " -o " + path("back.ign")).exitCode, 0);
    EXPECT_EQ(cli("diff " + file + " " + path("back.ign")).exitCode, 0);
    EXPECT_TRUE(sameFileFields(stop(sim, dump), fromFile(file)));
}

TEST_F(CliLink, MonitorPrintsLinesAndCsv) {
    SimProcess sim;
    const CliRun r =
        cli("monitor --port " + sim.device() + " --seconds 1.2 --csv " + path("m.csv"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
    EXPECT_NE(r.out.find("rpm="), std::string::npos);
    std::istringstream csv(slurp(path("m.csv")));
    std::string header, row;
    std::getline(csv, header);
    EXPECT_EQ(header.rfind("time,Rpm,", 0), 0u) << header;
    ASSERT_TRUE(std::getline(csv, row));
    EXPECT_EQ(std::count(row.begin(), row.end(), ','),
              std::count(header.begin(), header.end(), ','));
}

TEST_F(CliLink, ArgumentAndPortErrors) {
    struct Case {
        std::string args;
        int code;
        std::string text;
    } cases[] = {
        {"read -o x.ign", 2, "--port DEVICE is required"},
        {"read --port /dev/zentrova-none -o " + path("x.ign"), 2, "Com opening error!"},
        {"monitor --port /dev/zentrova-none --seconds 0", 2, "--seconds"},
        {"program --port /dev/zentrova-none " + path("missing.ign"), 2, "Open file error!"},
        {"verify --port /dev/null --bogus f", 2, "unknown option --bogus"},
    };
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << c.args << ": " << r.err;
    }
}

#endif
