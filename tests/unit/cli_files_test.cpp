// zentrova-cli's file commands, run as a program on real files.
#include "TestFolder.h"
#include "files/ParameterFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>

using namespace zentrova;
namespace fs = std::filesystem;

namespace {

using CliRun = zentrova::testing::ProgramRun;

class Cli : public zentrova::testing::TestFolder {
protected:
    CliRun cli(const std::string& args) const {
        return run(ZENTROVA_BINARY_DIR "/zentrova-cli", args);
    }
    fs::path file(const std::string& name, const std::string& contents) const {
        std::ofstream(dir / name, std::ios::binary) << contents;
        return dir / name;
    }
    static std::string read(const fs::path& p) { return contents(p); }
    // The default file of bike 11 with one line's first value replaced.
    std::string defaultsWith(const std::string& key, const std::string& value) const {
        std::string text = cli("defaults 11").out;
        const std::size_t at = text.find("\r\n" + key + " ");
        EXPECT_NE(at, std::string::npos) << key;
        const std::size_t valueAt = text.find_first_not_of(' ', at + 3 + key.size());
        const std::size_t valueEnd = text.find_first_of(" \r", valueAt);
        return text.replace(valueAt, valueEnd - valueAt, value);
    }
};

} // namespace

TEST_F(Cli, DefaultsWritesTheValidatedSet) {
    const CliRun run = cli("defaults 11");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("KORVANTA_KEY    47 \r\n\r\nBIKE            11 \r\n", 0), 0u);
    EXPECT_NE(run.out.find("\r\nVERSIONS\r\nHEX  "), std::string::npos);

    const CliRun saved = cli("defaults 11 -o " + (dir / "d11.ign").string());
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    EXPECT_EQ(read(dir / "d11.ign"), run.out);
}

TEST_F(Cli, DefaultsRejectsUnknownCodesAndBadArguments) {
    for (const char* args : {"defaults 45", "defaults x", "defaults", "defaults 1 2",
                             "defaults 1 -o", "defaults 1 --force"}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("zentrova-cli defaults: "), std::string::npos) << args;
    }
}

TEST_F(Cli, AFailedWriteIsReportedAndKeepsTheOldFile) {
    const fs::path target = file("keep.ign", "old");
    const CliRun toMissing = cli("defaults 3 -o " + (dir / "none" / "f.ign").string());
    EXPECT_EQ(toMissing.exitCode, 2);
    EXPECT_NE(toMissing.err.find("Open file error!\n"), std::string::npos);

    fs::create_directory(dir / "sub");
    const CliRun onDirectory = cli("defaults 3 -o " + (dir / "sub").string());
    EXPECT_NE(onDirectory.exitCode, 0);
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_EQ(read(target), "old");
}

TEST_F(Cli, CheckOfAValidFileChangesNothing) {
    cli("defaults 11 -o " + (dir / "d.ign").string());
    const CliRun run =
        cli("check " + (dir / "d.ign").string() + " -o " + (dir / "out.ign").string());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(read(dir / "out.ign"), read(dir / "d.ign"));
}

TEST_F(Cli, CheckListsRepairsAndWritesTheRepairedFile) {
    const fs::path bad = file("bad.ign", defaultsWith("BASE_ADV", "50"));
    const CliRun run = cli("check " + bad.string() + " -o " + (dir / "fixed.ign").string());
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "BASE_ADV: 50 -> 40\n");
    EXPECT_EQ(cli("check " + (dir / "fixed.ign").string()).exitCode, 0);
    EXPECT_EQ(cli("diff " + (dir / "fixed.ign").string() + " " + bad.string()).out,
              "BASE_ADV: 40 -> 50\n");
}

TEST_F(Cli, CheckReadsOntoAnEmptyImage) {
    // Only BIKE is given: every repaired field of the empty image is listed.
    const CliRun run = cli("check " + file("bike.ign", "KORVANTA_KEY 47\nBIKE 11\n").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("LIMITER_START: 0 -> 1000\n"), std::string::npos);
    EXPECT_NE(run.out.find("RPM_IGN[14]: 0 -> 1700\n"), std::string::npos);
    EXPECT_NE(run.out.find("VOLT_SERVO[0]: 0 -> 20\n"), std::string::npos);
    EXPECT_EQ(run.out.find("BIKE:"), std::string::npos);
    EXPECT_EQ(run.out.find("\nIGN["), std::string::npos) << "maps of zero need no repair";
}

TEST_F(Cli, CheckAndDiffReportFilesThatCannotBeUsed) {
    const fs::path wrong = file("wrong.ign", "KORVANTA_KEY 46\r\nBIKE 3\r\n");
    const fs::path good = file("good.ign", "KORVANTA_KEY 47\r\nBIKE 3\r\n");
    const fs::path missing = dir / "missing.ign";
    struct Case {
        std::string args;
        const char* message;
    } cases[] = {
        {"check " + missing.string(), "Open file error!\n"},
        {"check " + dir.string(), "Open file error!\n"},
        {"check " + wrong.string(), "Unmatched version of *.ign file!\n"},
        {"check " + wrong.string() + " -o " + (dir / "o.ign").string(),
         "Unmatched version of *.ign file!\n"},
        {"diff " + good.string() + " " + missing.string(), "Open file error!\n"},
        {"diff " + wrong.string() + " " + good.string(), "Unmatched version of *.ign file!\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << c.args << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "o.ign"));
}

TEST_F(Cli, DiffNamesEveryDifferingField) {
    cli("defaults 11 -o " + (dir / "a.ign").string());
    const fs::path a = dir / "a.ign";
    EXPECT_EQ(cli("diff " + a.string() + " " + a.string()).exitCode, 0);
    EXPECT_EQ(cli("diff " + a.string() + " " + a.string()).out, "");

    // IGN row 3 (TPS 10 %), column 5 (7000 rpm in the default set) and EXT_MON.
    std::string text = read(a);
    const std::size_t ign = text.find("\r\nIGN ");
    const std::size_t row3 = ign + 2 + 3 * (13 + 15 * 6 + 2);
    const std::size_t cell = row3 + 13 + 5 * 6;
    ASSERT_EQ(text.substr(cell, 6), "   40 ");
    text.replace(cell, 6, "   45 ");
    text.replace(text.find("EXT_MON          0"), 18, "EXT_MON          1");
    const fs::path b = file("b.ign", text);
    const CliRun run = cli("diff " + a.string() + " " + b.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "EXT_MON: 0 -> 1\nIGN[3][5] (TPS 10 %, 7000 rpm): 40 -> 45\n");
}

TEST_F(Cli, HelpForEveryCommand) {
    const CliRun list = cli("--help");
    EXPECT_EQ(list.exitCode, 0);
    for (const char* name : {"check", "defaults", "diff", "monitor", "program", "read", "verify"}) {
        EXPECT_NE(list.out.find(std::string("  ") + name + " "), std::string::npos) << name;
    }
    struct Case {
        const char* args;
        const char* synopsis;
    } cases[] = {
        {"defaults --help", "Usage: zentrova-cli defaults BIKE_CODE [-o FILE]\n"},
        {"check --help", "Usage: zentrova-cli check FILE [-o OUT]\n"},
        {"diff -h", "Usage: zentrova-cli diff A B\n"},
        {"check x.ign --help", "Usage: zentrova-cli check FILE [-o OUT]\n"},
        {"read --help", "Usage: zentrova-cli read --port DEVICE -o FILE [--image RAW]\n"},
        {"verify --help", "Usage: zentrova-cli verify --port DEVICE FILE\n"},
        {"program -h", "Usage: zentrova-cli program --port DEVICE FILE\n"},
        {"monitor --help",
         "Usage: zentrova-cli monitor --port DEVICE [--csv FILE] [--seconds N]\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, 0) << c.args;
        EXPECT_EQ(run.out.rfind(c.synopsis, 0), 0u) << run.out;
    }
    const CliRun unknown = cli("frobnicate");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(cli("").exitCode, 2);
}
