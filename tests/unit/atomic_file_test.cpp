#include "TestFolder.h"
#include "files/AtomicFile.h"
#include "files/ParameterFileIo.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zentrova;
namespace fs = std::filesystem;

namespace {

class TempDir : public zentrova::testing::TestFolder {
protected:
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
};

// Files may not grow past `bytes` while it lives: a real write failure.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }

private:
    rlimit previous_{};
    void (*previousSignal_)(int);
};

using AtomicFile = TempDir;
using ParameterFileIo = TempDir;

} // namespace

TEST_F(AtomicFile, WritesANewFileAndLeavesNothingElse) {
    const fs::path p = dir / "new.ign";
    ASSERT_TRUE(SaveFileAtomically(p, std::string("a\r\nb\0c", 6)));
    EXPECT_EQ(contents(p), std::string("a\r\nb\0c", 6));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, ReplacesAnExistingFileKeepingItsPermissions) {
    const fs::path p = dir / "old.ign";
    put(p, "old contents that are longer than the new ones");
    ::chmod(p.c_str(), 0640);
    ASSERT_TRUE(SaveFileAtomically(p, "new"));
    EXPECT_EQ(contents(p), "new");
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, AFailedWriteLeavesTheOldFile) {
    const fs::path p = dir / "keep.ign";
    put(p, "good");
    FileResult result;
    {
        FileSizeLimit limit(64);
        result = SaveFileAtomically(p, std::string(4096, 'x'));
    }
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("keep.ign"), std::string::npos) << result.error;
    EXPECT_EQ(contents(p), "good");
    EXPECT_EQ(entries(), 1u) << "the temporary file is removed";
}

TEST_F(AtomicFile, ReportsTargetsItCannotReplace) {
    const fs::path sub = dir / "sub";
    fs::create_directory(sub);
    put(sub / "inside", "x");
    const FileResult onDirectory = SaveFileAtomically(sub, "data");
    EXPECT_FALSE(onDirectory);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(contents(sub / "inside"), "x");

    const FileResult noFolder = SaveFileAtomically(dir / "missing" / "f.ign", "data");
    EXPECT_FALSE(noFolder);
    EXPECT_FALSE(noFolder.error.empty());
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, FollowsASymbolicLink) {
    const fs::path target = dir / "target.ign";
    const fs::path link = dir / "link.ign";
    put(target, "old");
    fs::create_symlink(target.filename(), link);
    ASSERT_TRUE(SaveFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(ParameterFileIo, LoadsAndSavesThroughFiles) {
    ParameterImage image;
    image[img::BIKE] = 12;
    image[img::IGN + 20] = 33;
    const fs::path p = dir / "set.ign";
    ASSERT_TRUE(SaveParameterFile(p, image, {true, {}, {"Jan  1 2024", "00:00:00"}}));
    ParameterImage back;
    back[3] = 7; // block 0 stays
    bool ext = false;
    ASSERT_TRUE(LoadParameterFile(p, back, ext));
    EXPECT_TRUE(ext);
    EXPECT_EQ(back[img::BIKE], 12);
    EXPECT_EQ(back[img::IGN + 20], 33);
    EXPECT_EQ(back[3], 7);
}

TEST_F(ParameterFileIo, FailuresNameTheirMessageAndChangeNothing) {
    put(dir / "old.ign", "KORVANTA_KEY 46\r\nBIKE 3\r\n");
    struct Case {
        fs::path path;
        FileStatus status;
        const char* message;
    } cases[] = {
        {dir / "none.ign", FileStatus::OpenError, "Open file error!"},
        {dir, FileStatus::OpenError, "Open file error!"},
        {dir / "old.ign", FileStatus::VersionMismatch, "Unmatched version of *.ign file!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        ParameterImage image;
        image[img::BIKE] = 9;
        bool ext = true;
        const FileOutcome outcome = LoadParameterFile(c.path, image, ext);
        EXPECT_EQ(outcome.status, c.status);
        ASSERT_TRUE(MessageOf(outcome.status));
        EXPECT_EQ(MessageTable::Text(*MessageOf(outcome.status), 0), c.message);
        EXPECT_EQ(image[img::BIKE], 9);
        EXPECT_TRUE(ext);
    }
    EXPECT_FALSE(MessageOf(FileStatus::Ok));
}

TEST_F(ParameterFileIo, ASaveThatFailsIsAWriteError) {
    const FileOutcome outcome = SaveParameterFile(dir / "no" / "such.ign", ParameterImage{}, {});
    EXPECT_EQ(outcome.status, FileStatus::WriteError);
    EXPECT_EQ(MessageOf(outcome.status), Msg::TextFileOpenError);
    EXPECT_FALSE(outcome.detail.empty());
}

TEST_F(ParameterFileIo, RefusesFilesFarTooLargeToBeParameterFiles) {
    put(dir / "big.ign", std::string(100, 'x'));
    std::string error;
    EXPECT_FALSE(ReadFileBytes(dir / "big.ign", error, 99));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "big.ign", error, 100), std::string(100, 'x'));
}
