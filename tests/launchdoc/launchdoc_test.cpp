// The document opener driven through the program's loader, with a fake xdg-open on PATH that
// records its arguments and working folder and exits with a chosen status.
#include "analysis/readme.h"
#include "analysis/report.h"
#include "base/shellopenfile.h"
#include "launchdoc/failures.h"
#include "base/error.h"
#include "base/extension_loader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

const std::string kFileNotFound = "Tarvex:openshell:ERROR_FILE_NOT_FOUND ";

struct Outcome {
    std::string identifier, message;
    bool operator==(const Outcome&) const = default;
};
const Outcome kOpened{"", ""};

std::ostream& operator<<(std::ostream& os, const Outcome& o)
{
    return os << '"' << o.identifier << "\" / \"" << o.message << '"';
}

template <class Call>
Outcome outcomeOf(Call call)
{
    try {
        call();
    } catch (const ExtensionError& e) {
        return {e.identifier(), e.what()};
    }
    return kOpened;
}

Outcome open(const std::vector<ExtensionValue>& inputs)
{
    return outcomeOf([&] { callExtension("shellopenfile", inputs); });
}

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const fs::path& p) : old_(fs::current_path()) { fs::current_path(p); }
    ~ScopedCurrentFolder() { fs::current_path(old_); }

private:
    fs::path old_;
};

class Launchdoc : public ::testing::Test {
protected:
    test::TempDir dir;
    const fs::path docs = dir.path() / "docs";      // the folder handed to the opener
    const fs::path bin = dir.path() / "bin";        // the only entry of PATH
    const fs::path record = dir.path() / "record";  // what the fake opener saw
    std::optional<ScopedEnv> path;

    void SetUp() override
    {
        fs::create_directories(docs);
        fs::create_directories(bin);
        fs::create_directories(record);
        path.emplace("PATH", bin.string());
    }

    std::string document(const std::string& name)
    {
        std::ofstream(docs / name) << "text\n";
        return name;
    }

    // A fake xdg-open that records its arguments (each ended by a NUL) and folder, then runs
    // `then` (by default: exits with `status`).
    void installOpener(int status, const std::string& then = "")
    {
        const fs::path script = bin / "xdg-open";
        std::ofstream(script) << "#!/bin/bash\n"
                              << "pwd > '" << (record / "cwd").string() << "'\n"
                              << "printf '%s\\0' \"$@\" > '" << (record / "args").string() << "'\n"
                              << (then.empty() ? "exit " + std::to_string(status) : then) << "\n";
        fs::permissions(script, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    }

    // The arguments the fake opener received, or nothing when it did not run.
    std::optional<std::vector<std::string>> openerArguments() const
    {
        if (!fs::exists(record / "args")) return std::nullopt;
        std::vector<std::string> args;
        std::istringstream in(readFile(record / "args"));
        for (std::string a; std::getline(in, a, '\0');) args.push_back(a);
        return args;
    }

    fs::path openerFolder() const
    {
        std::string cwd = readFile(record / "cwd");
        if (!cwd.empty() && cwd.back() == '\n') cwd.pop_back();
        return fs::canonical(cwd);
    }
};

TEST_F(Launchdoc, BothInputsMustBeText)
{
    installOpener(0);
    const Outcome first{"Tarvex:openshell:firstArgNotString",
                        "First input to the OPENSHELL Olvan-file must be the directory name."};
    const Outcome second{"Tarvex:openshell:secondArgNotString",
                         "Second input to the OPENSHELL Olvan-file must be the file name."};
    // The folder is checked before the second input is looked at.
    EXPECT_EQ(open({3.0, 4.0}), first);
    EXPECT_EQ(open({3.0, document("a.txt")}), first);
    EXPECT_EQ(open({docs.string(), 4.0}), second);
    // Missing inputs count as inputs that are not text.
    EXPECT_EQ(open({}), first);
    EXPECT_EQ(open({docs.string()}), second);
    EXPECT_FALSE(openerArguments());
}

TEST_F(Launchdoc, MissingDocumentOrFolderIsReportedWithoutStartingTheOpener)
{
    installOpener(0);
    const Outcome fileNotFound{kFileNotFound, "The specified file was not found."};
    const Outcome pathNotFound{"Tarvex:openshell:ERROR_PATH_NOT_FOUND", "The specified path was not found."};
    EXPECT_EQ(open({docs.string(), "missing.txt"}), fileNotFound);
    EXPECT_EQ(open({docs.string(), ""}), fileNotFound);
    EXPECT_EQ(open({docs.string(), (dir.path() / "elsewhere.txt").string()}), fileNotFound);
    EXPECT_EQ(open({(dir.path() / "gone").string(), document("a.txt")}), pathNotFound);
    EXPECT_EQ(open({(docs / "a.txt").string(), "a.txt"}), pathNotFound);  // a file is no folder
    EXPECT_FALSE(openerArguments());
}

TEST_F(Launchdoc, UnreadableDocumentIsAccessDenied)
{
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    installOpener(0);
    fs::permissions(docs / document("secret.txt"), fs::perms::none);
    EXPECT_EQ(open({docs.string(), "secret.txt"}).identifier, "Tarvex:openshell:SE_ERR_ACCESSDENIED");
    EXPECT_FALSE(openerArguments());
}

TEST_F(Launchdoc, OpenerExitStatusMapsOntoTheFailureTable)
{
    const std::string name = document("data.xyz");
    const struct {
        int status;
        Outcome expected;
    } cases[] = {
        {0, kOpened},
        {2, {kFileNotFound, "The specified file was not found."}},
        {3, {"Tarvex:openshell:SE_ERR_NOASSOC",
             "There is no application associated with the given file name extension."}},
        {4, {"Tarvex:openshell:SE_ERR_ASSOCINCOMPLETE", "The file name association is incomplete or invalid."}},
        {1, {"Tarvex:openshell:SE_ERR_ASSOCINCOMPLETE", "The file name association is incomplete or invalid."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        installOpener(c.status);
        EXPECT_EQ(open({docs.string(), name}), c.expected);
        EXPECT_EQ(openerArguments(), std::vector<std::string>{name});
    }
}

TEST_F(Launchdoc, OpenerMissingOrNotRunnable)
{
    const std::string name = document("notes.txt");
    EXPECT_EQ(open({docs.string(), name}),
              (Outcome{"Tarvex:openshell:SE_ERR_DLLNOTFOUND", "The specified dynamic-link library was not found."}));

    // Executable, but neither a program nor a script.
    const fs::path opener = bin / "xdg-open";
    std::ofstream(opener, std::ios::binary) << std::string("\x7f\x01\x02garbage", 10);
    fs::permissions(opener, fs::perms::owner_all);
    EXPECT_EQ(open({docs.string(), name}),
              (Outcome{"Tarvex:openshell:ERROR_BAD_FORMAT",
                       "The .exe file is invalid (non-Win32\xC2\xAE .exe or error in .exe image)."}));
}

TEST_F(Launchdoc, OpensAnExistingReadMeInItsFolder)
{
    installOpener(0);
    EXPECT_EQ(open({docs.string(), document("ReadMe_100.txt")}), kOpened);
    EXPECT_EQ(openerArguments(), std::vector<std::string>{"ReadMe_100.txt"});
    EXPECT_EQ(openerFolder(), fs::canonical(docs));

    // An absolute document name is passed as it is.
    const std::string absolute = (docs / "ReadMe_100.txt").string();
    EXPECT_EQ(open({dir.path().string(), absolute}), kOpened);
    EXPECT_EQ(openerArguments(), std::vector<std::string>{absolute});
}

TEST_F(Launchdoc, AnyDocumentNameReachesTheOpenerAsOneUnchangedArgument)
{
    installOpener(0);
    for (const std::string name : {"-n \"it's\"; rm -rf ~; echo $(id) `id` > x.txt", "--help", "a b\tc\nd.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(open({docs.string(), document(name)}), kOpened);
        EXPECT_EQ(openerArguments(), std::vector<std::string>{name});
    }
    EXPECT_FALSE(fs::exists(docs / "x.txt"));
}

TEST_F(Launchdoc, OpenerThatKeepsRunningCountsAsOpened)
{
    // xdg-open may run the application in the foreground; the call must not wait for it.
    installOpener(0, "exec /bin/sleep 8 </dev/null >/dev/null 2>&1");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(open({docs.string(), document("long.txt")}), kOpened);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(openerArguments(), std::vector<std::string>{"long.txt"});
}

TEST_F(Launchdoc, ShellopenfileSuppliesTheCurrentFolder)
{
    installOpener(0);
    const std::string name = document("ReadMe_100.txt");
    {
        ScopedCurrentFolder here(docs);
        EXPECT_EQ(outcomeOf([&] { shellopenfile(name); }), kOpened);
        EXPECT_EQ(openerFolder(), fs::canonical(docs));
        // The current folder is input 1, so the caller's first argument is the document.
        EXPECT_EQ(outcomeOf([] { shellopenfile(std::vector<ExtensionValue>{5.0}); }).identifier,
                  "Tarvex:openshell:secondArgNotString");
    }
    EXPECT_EQ(outcomeOf([&] { shellopenfileIn(docs.string(), "missing.txt"); }).identifier, kFileNotFound);
    // The opener's errors are errors of the program, for the callback dispatch to show.
    EXPECT_THROW(shellopenfileIn(docs.string(), "missing.txt"), Error);
}

TEST_F(Launchdoc, ReadMeButtonOpensTheReadMeOfTheStartFolder)
{
    installOpener(0);
    ScopedCurrentFolder elsewhere(dir.path());
    EXPECT_EQ(outcomeOf([&] { openReadMe(docs.string()); }), (Outcome{kFileNotFound, "The specified file was not found."}));
    EXPECT_EQ(fs::current_path(), fs::canonical(docs));

    document(kReadMeFile);
    fs::current_path(dir.path());
    EXPECT_EQ(outcomeOf([&] { openReadMe(docs.string()); }), kOpened);
    EXPECT_EQ(fs::current_path(), fs::canonical(docs));
    EXPECT_EQ(openerArguments(), std::vector<std::string>{kReadMeFile});

    EXPECT_EQ(outcomeOf([&] { openReadMe((dir.path() / "gone").string()); }).identifier,
              "Tarvex:openshell:ERROR_PATH_NOT_FOUND");
}

TEST_F(Launchdoc, ReportButtonOpensTheReportOfTheAnalysisFolder)
{
    installOpener(0);
    EXPECT_THROW(openReport(docs), Error);  // a folder written without a report
    EXPECT_FALSE(openerArguments());
    document(kReportFile);
    EXPECT_EQ(outcomeOf([&] { openReport(docs); }), kOpened);
    EXPECT_EQ(openerFolder(), fs::canonical(docs));
    EXPECT_EQ(openerArguments(), std::vector<std::string>{kReportFile});
}

// The button opens the read-me beside the program wherever the program was started from;
// installed, the read-me lies in the documentation folder relative to the program.
TEST_F(Launchdoc, ReadMeButtonOpensTheReadMeOfTheProgram)
{
    installOpener(0);
    ScopedCurrentFolder elsewhere(dir.path());
    const fs::path program = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(outcomeOf([] { openProgramReadMe(); }), kOpened);
    EXPECT_EQ(openerFolder(), fs::canonical(program.parent_path()));
    EXPECT_EQ(openerArguments(), std::vector<std::string>{kReadMeFile});
    EXPECT_EQ(fs::current_path(), fs::canonical(dir.path()));

    EXPECT_EQ(readMePlaces("/opt/orvane/bin"),
              (std::vector<fs::path>{"/opt/orvane/bin/ReadMe_100.txt", "/opt/orvane/share/doc/orvane/ReadMe_100.txt"}));
}

TEST(LaunchdocFailureTable, ThirteenErrorsAndSilentCodes)
{
    const std::map<int, std::pair<std::string, std::string>> listed = {
        {0, {"0", "The operating system is out of memory or resources."}},
        {2, {"ERROR_FILE_NOT_FOUND ", "The specified file was not found."}},
        {3, {"ERROR_PATH_NOT_FOUND", "The specified path was not found."}},
        {5, {"SE_ERR_ACCESSDENIED", "The operating system denied access to the specified file."}},
        {8, {"SE_ERR_OOM", "There was not enough memory to complete the operation."}},
        {11, {"ERROR_BAD_FORMAT", "The .exe file is invalid (non-Win32\xC2\xAE .exe or error in .exe image)."}},
        {26, {"SE_ERR_SHARE", "A sharing violation occurred."}},
        {27, {"SE_ERR_ASSOCINCOMPLETE", "The file name association is incomplete or invalid."}},
        {28, {"SE_ERR_DDETIMEOUT", "The DDE transaction could not be completed because the request timed out."}},
        {29, {"SE_ERR_DDEFAIL", "The DDE transaction failed."}},
        {30, {"SE_ERR_DDEBUSY",
              "The DDE transaction could not be completed because other DDE transactions were being processed."}},
        {31, {"SE_ERR_NOASSOC", "There is no application associated with the given file name extension."}},
        {32, {"SE_ERR_DLLNOTFOUND", "The specified dynamic-link library was not found."}},
    };
    for (int code = -2; code <= 40; ++code) {
        SCOPED_TRACE(code);
        const launchdoc_failure* f = launchdoc_failure_for(code);
        const auto it = listed.find(code);
        if (it == listed.end()) {
            EXPECT_EQ(f, nullptr);  // success above 32; the unlisted codes return silently
            continue;
        }
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->identifier, "Tarvex:openshell:" + it->second.first);
        EXPECT_EQ(f->message, it->second.second);
    }
}

TEST(ExtensionLoader, FindsTheLibraryBesideTheProgramOrOnTheOverridePath)
{
    const fs::path built = fs::canonical(LAUNCHDOC_FILE);
    EXPECT_EQ(findExtension("shellopenfile"), built);

    test::TempDir other;
    fs::copy_file(built, other.path() / built.filename());
    {
        ScopedEnv override("ORVANE_EXTENSION_PATH", "/nonexistent:" + other.path().string());
        EXPECT_EQ(findExtension("shellopenfile"), fs::canonical(other.path() / built.filename()));
    }
    EXPECT_EQ(findExtension("shellopenfile"), built);

    EXPECT_TRUE(findExtension("dataread").empty());
    EXPECT_EQ(outcomeOf([] { callExtension("dataread", {"x"}); }).identifier, "orvane:extension:unknown");
}

// The build puts the read-me beside the programs, so the button finds it when the program is
// started from its own folder.
TEST(ReadMeFile, LiesBesideTheProgram)
{
    const fs::path program = fs::read_symlink("/proc/self/exe");
    EXPECT_TRUE(fs::is_regular_file(program.parent_path() / kReadMeFile));
}

}  // namespace
}  // namespace orvane
