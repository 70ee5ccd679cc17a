// A fresh folder for each test, removed afterwards, and a way to run one of
// the built programs in it with its output captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zentrova::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zentrova-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

public:
    static std::string contents(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const std::filesystem::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }

protected:
    // Runs the program with arguments (no quoting needed inside the test folder).
    ProgramRun run(const std::string& program, const std::string& args) const {
        const std::filesystem::path out = dir / "stdout", err = dir / "stderr";
        const std::string command =
            program + " " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(out), contents(err)};
    }

    std::filesystem::path dir;
};

} // namespace zentrova::testing
