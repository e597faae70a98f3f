#include "formats/file_write.h"
#include "formats/mat_error.h"
#include "formats/mat_io.h"

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> names(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A symlink and a foreign file sit at the first two names the writer tries: it must go on
// to a free name, write nothing through the link and leave the foreign file alone.
TEST(AtomicFile, PlantedSymlinkAndForeignFileAtTheTemporaryNamesAreLeftAlone)
{
    test::TempDir dir;
    const fs::path folder = dir.path() / "out", outside = dir.path() / "outside";
    fs::create_directories(folder);
    fs::create_directories(outside);
    std::ofstream(outside / "existing") << "precious";
    const auto plantedName = [](const fs::path&, unsigned attempt) { return ".planted" + std::to_string(attempt); };

    for (const char* linkTarget : {"victim", "existing"}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(outside / linkTarget, folder / ".planted0");
        std::ofstream(folder / ".planted1") << "foreign";
        std::ofstream(folder / "report.txt") << "old";

        AtomicFile file(folder / "report.txt", plantedName);
        file.write(std::string_view("new "));
        const std::string pieces[] = {"in ", "pieces"};
        file.write(pieces);
        file.commit();

        EXPECT_EQ(contents(folder / "report.txt"), "new in pieces");
        EXPECT_FALSE(fs::exists(outside / "victim")) << linkTarget;
        EXPECT_EQ(contents(outside / "existing"), "precious");
        EXPECT_TRUE(fs::is_symlink(folder / ".planted0"));
        EXPECT_EQ(contents(folder / ".planted1"), "foreign");
        EXPECT_EQ(names(folder), (std::vector<std::string>{".planted0", ".planted1", "report.txt"}));
    }

    // The default names are fresh each time: repeated writes leave only the file itself.
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int k = 0; k < 20; ++k) writeFileAtomically(folder / "a.txt", "round " + std::to_string(k));
    EXPECT_EQ(contents(folder / "a.txt"), "round 19");
    EXPECT_EQ(names(folder), std::vector<std::string>{"a.txt"});
}

// Streaming writers: through the FILE*, through the descriptor's name, or abandoned.
TEST(AtomicFile, StreamsAndDescriptorNameReachTheFileAndAbandonedFilesVanish)
{
    test::TempDir dir;
    {
        AtomicFile file(dir.path() / "stream.txt");
        std::fprintf(file.stream(), "%s %d", "streamed", 42);
        file.commit();
    }
    EXPECT_EQ(contents(dir.path() / "stream.txt"), "streamed 42");
    {
        AtomicFile file(dir.path() / "named.txt");
        std::FILE* f = std::fopen(file.descriptorPath().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("by name", f);
        std::fclose(f);
        file.commit();
    }
    EXPECT_EQ(contents(dir.path() / "named.txt"), "by name");
    {
        AtomicFile file(dir.path() / "named.txt");
        file.write(std::string_view("never committed"));
    }
    EXPECT_EQ(contents(dir.path() / "named.txt"), "by name");
    EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"named.txt", "stream.txt"}));
}

// A full disk half way: an error naming the file, no temporary left, the old file kept —
// for plain writes, streamed writes and MAT-files alike.
TEST(AtomicFile, FailedWritesLeaveNoTemporaryAndKeepTheOldFile)
{
    test::TempDir dir;
    const fs::path text = dir.path() / "report.txt", mat = dir.path() / "values.mat";
    std::ofstream(text) << "old report";
    std::ofstream(mat) << "old values";
    const std::string big(64 * 1024, 'x');
    {
        test::FileSizeLimit limit(4096);
        try {
            writeFileAtomically(text, big);
            ADD_FAILURE() << "no error for a write past the limit";
        } catch (const FileWriteError& e) {
            EXPECT_NE(std::string(e.what()).find(text.string()), std::string::npos) << e.what();
        }
        EXPECT_THROW(
            {
                AtomicFile file(text);
                std::fputs(big.c_str(), file.stream());
                file.commit();
            },
            FileWriteError);

        Vec values(20000, 1.5);
        std::size_t dims[2] = {values.size(), 1};
        std::vector<matfile::VarPtr> vars;
        vars.emplace_back(Mat_VarCreate("v", MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, values.data(), MAT_F_DONT_COPY_DATA));
        try {
            matfile::Writer writer(dir.path(), "values.mat");
            writer.write(vars);
            writer.commit();
            ADD_FAILURE() << "no error for a MAT-file past the limit";
        } catch (const ResultFileError& e) {
            EXPECT_NE(std::string(e.what()).find("values.mat"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(contents(text), "old report");
    EXPECT_EQ(contents(mat), "old values");
    EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"report.txt", "values.mat"}));
}

}  // namespace
}  // namespace orvane
