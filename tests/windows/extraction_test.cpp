// Extraction of packages built here with the same format code, into folders of the test.
#include "app/languages.h"
#include "package/compress_error.h"
#include "package/crc32.h"
#include "package/extraction.h"
#include "package/file_crc32.h"
#include "package/membuf.h"
#include "package/package_resource.h"
#include "package/package_writer.h"
#include "tests/support/bzip2_bytes.h"
#include "tests/support/test_files.h"

#include <boost/filesystem/exception.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>

namespace fs = boost::filesystem;

namespace {

constexpr DWORD kWait = 30000;

struct TestFile {
    TestFile(std::wstring name, std::string content, std::wstring destination = L"<InstallPath>",
             std::optional<std::uint32_t> crc = std::nullopt)
        : name(std::move(name)), content(std::move(content)), destination(std::move(destination)), crc(crc)
    {
    }
    std::wstring name;
    std::string content;
    std::wstring destination;
    std::optional<std::uint32_t> crc; // the content's own unless given
};

// The decompressed package: header and contents, with `tail` appended.
std::string PackageBytes(const std::vector<TestFile>& files, const std::string& tail = "")
{
    std::vector<package_entry> entries;
    std::string contents;
    for (const TestFile& file : files) {
        const std::uint32_t crc = file.crc.value_or(compute_crc32(file.content.data(), file.content.size()));
        entries.push_back({L"C:\\build\\product\\" + file.name, file.destination, EntryOrdinary, file.content.size(), crc});
        contents += file.content;
    }
    std::ostringstream out;
    write_package_header(out, entries);
    return out.str() + contents + tail;
}

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;
using TemporaryFolder = testsupport::ScratchFolder;

std::string Compressed(const std::string& bytes)
{
    return testsupport::Bzip2Compressed(bytes);
}

std::wstring Text(const std::error_code& code)
{
    return std::wstring(code.category().name(), code.category().name() + std::strlen(code.category().name())) +
           L" " + std::to_wstring(code.value());
}

// Every notification as a line, and the answers to give.
struct Recorder {
    std::vector<std::wstring> lines;
    std::function<notification::result(const notification&)> answer = [](const notification&) {
        return notification::result::proceed;
    };
    fs::path root; // paths are shown relative to it

    std::wstring Relative(const std::wstring& path) const
    {
        const std::wstring prefix = root.wstring() + L"\\";
        return path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path;
    }

    notification_callback Callback()
    {
        return [this](notification message) {
            std::wstring line;
            if (std::holds_alternative<notification::started>(message.value)) {
                line = L"started";
            } else if (auto* finished = std::get_if<notification::finished>(&message.value)) {
                line = L"finished " + std::to_wstring(finished->total);
            } else if (auto* started = std::get_if<notification::file_started>(&message.value)) {
                line = L"file_started " + Relative(started->entry->destination);
            } else if (auto* done = std::get_if<notification::file_finished>(&message.value)) {
                line = L"file_finished " + Relative(done->entry->destination);
            } else if (auto* progress = std::get_if<notification::progress>(&message.value)) {
                line = L"progress " + std::to_wstring(progress->position) + L"/" + std::to_wstring(progress->total);
            } else if (auto* failed = std::get_if<notification::failed>(&message.value)) {
                line = L"failed " + Text(failed->code) + L" " + Relative(failed->path);
            }
            lines.push_back(line);
            return answer(message);
        };
    }

    bool Extract(const std::string& compressed, const fs::path& folder)
    {
        root = folder;
        vt::imemstream stream(compressed.data(), compressed.size());
        return extract_package(stream, folder.wstring(), L"", L"", Callback());
    }
};

bool IsFileStarted(const notification& message, const wchar_t* name)
{
    auto* started = std::get_if<notification::file_started>(&message.value);
    return started != nullptr && fs::path(started->entry->destination).filename() == name;
}

using Lines = std::vector<std::wstring>;

std::wstring Failed(compress_error code, const std::wstring& path = L"")
{
    return L"failed compress " + std::to_wstring(code) + L" " + path;
}

// Holds a file open with no sharing until released. Arguments: path, ready event, release event.
int HoldFileRole(const std::vector<std::wstring>& arguments)
{
    vt::unique_hfile file(::CreateFileW(arguments.at(0).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 2;
    ::SetEvent(testsupport::OpenNamedEvent(arguments.at(1)).get());
    ::WaitForSingleObject(testsupport::OpenNamedEvent(arguments.at(2)).get(), kWait);
    return 0;
}
const bool registered = testsupport::RegisterRole(L"hold-file", &HoldFileRole);

struct FileHolder {
    explicit FileHolder(const fs::path& path)
        : ready(testsupport::UniqueName(L"ready")),
          release(testsupport::UniqueName(L"release")),
          readyEvent(testsupport::CreateNamedEvent(ready)),
          releaseEvent(testsupport::CreateNamedEvent(release)),
          child(L"hold-file", {path.wstring(), ready, release})
    {
    }
    bool WaitReady() { return ::WaitForSingleObject(readyEvent.get(), kWait) == WAIT_OBJECT_0; }
    DWORD Release()
    {
        ::SetEvent(releaseEvent.get());
        return child.Wait();
    }
    ~FileHolder() { ::SetEvent(releaseEvent.get()); }

    std::wstring ready, release;
    vt::unique_handle readyEvent, releaseEvent;
    testsupport::ChildProcess child;
};

} // namespace

TEST(Extraction, EmptyTableGivesOneProgressThenFinished)
{
    TemporaryFolder folder;
    Recorder recorder;
    EXPECT_TRUE(recorder.Extract(Compressed(PackageBytes({})), folder.path));
    EXPECT_EQ(recorder.lines, (Lines{L"started", L"progress 12/12", L"finished 12"}));
    EXPECT_EQ(folder.Count(), 0u);
}

TEST(Extraction, EmptyEntryThenOneWithContent)
{
    TemporaryFolder folder;
    Recorder recorder;
    const std::string package = PackageBytes({{L"empty.dat", ""}, {L"b.txt", "hello"}});
    const auto header = std::to_wstring(package.size() - 5);
    const auto total = std::to_wstring(package.size());
    EXPECT_TRUE(recorder.Extract(Compressed(package), folder.path));
    EXPECT_EQ(recorder.lines, (Lines{L"started", L"progress " + header + L"/" + total, L"file_started empty.dat",
                                     L"progress " + header + L"/" + total, L"file_finished empty.dat",
                                     L"file_started b.txt", L"progress " + total + L"/" + total,
                                     L"file_finished b.txt", L"finished " + total}));
    EXPECT_TRUE(fs::exists(folder.path / L"empty.dat"));
    EXPECT_EQ(fs::file_size(folder.path / L"empty.dat"), 0u);
    EXPECT_EQ(ReadFileBytes(folder.path / L"b.txt"), "hello");
}

TEST(Extraction, ChunkSpanningTwoEntriesIsSplitBetweenThem)
{
    // The decompressor hands over 4096 bytes at a time: header and a.bin fill part of the first
    // chunk and b.bin takes its rest; the second chunk ends b.bin.
    TemporaryFolder folder;
    Recorder recorder;
    const std::string a(3000, 'a'), b(3000, 'b');
    const std::string package = PackageBytes({{L"a.bin", a}, {L"b.bin", b}});
    const std::uint64_t header = package.size() - 6000;
    const auto at = [&](std::uint64_t position) {
        return L"progress " + std::to_wstring(position) + L"/" + std::to_wstring(package.size());
    };
    EXPECT_TRUE(recorder.Extract(Compressed(package), folder.path));
    EXPECT_EQ(recorder.lines,
              (Lines{L"started", at(header), L"file_started a.bin", at(header + 3000), L"file_finished a.bin",
                     L"file_started b.bin", at(4096), at(header + 6000), L"file_finished b.bin",
                     L"finished " + std::to_wstring(package.size())}));
    EXPECT_EQ(ReadFileBytes(folder.path / L"a.bin"), a);
    EXPECT_EQ(ReadFileBytes(folder.path / L"b.bin"), b);
}

TEST(Extraction, SkippedEntryIsNotWrittenButAdvancesProgress)
{
    TemporaryFolder folder;
    Recorder recorder;
    recorder.answer = [](const notification& message) {
        return IsFileStarted(message, L"skip.txt") ? notification::result::skip : notification::result::proceed;
    };
    const std::string package = PackageBytes({{L"skip.txt", "skipped"}, {L"keep.txt", "kept"}});
    const auto total = std::to_wstring(package.size());
    EXPECT_TRUE(recorder.Extract(Compressed(package), folder.path));
    EXPECT_EQ(recorder.lines,
              (Lines{L"started", L"progress " + std::to_wstring(package.size() - 11) + L"/" + total,
                     L"file_started skip.txt", L"progress " + std::to_wstring(package.size() - 4) + L"/" + total,
                     L"file_started keep.txt", L"progress " + total + L"/" + total, L"file_finished keep.txt",
                     L"finished " + total}));
    EXPECT_FALSE(fs::exists(folder.path / L"skip.txt"));
    EXPECT_EQ(ReadFileBytes(folder.path / L"keep.txt"), "kept");
}

TEST(Extraction, CancelEndsWithInterrupted)
{
    const struct {
        const char* when;
        std::function<bool(const notification&)> cancelOn;
        std::wstring failedPath;
        std::size_t filesLeft;
    } cases[] = {
        {"at the header's progress", [](const notification& m) { return m.index() == 4; }, L"", 0},
        {"at file_started", [](const notification& m) { return IsFileStarted(m, L"b.txt"); }, L"", 1},
        {"at the progress of an entry",
         [](const notification& m) {
             auto* progress = std::get_if<notification::progress>(&m.value);
             return progress != nullptr && progress->position == progress->total;
         },
         L"b.txt", 2},
        {"at file_finished", [](const notification& m) { return m.index() == 3; }, L"a.txt", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        TemporaryFolder folder;
        Recorder recorder;
        recorder.answer = [&](const notification& message) {
            return c.cancelOn(message) ? notification::result::cancel : notification::result::proceed;
        };
        EXPECT_FALSE(recorder.Extract(Compressed(PackageBytes({{L"a.txt", "a"}, {L"b.txt", "b"}})), folder.path));
        EXPECT_EQ(recorder.lines.back(), Failed(interrupted, c.failedPath));
        EXPECT_EQ(folder.Count(), c.filesLeft);
    }
}

TEST(Extraction, ChecksumMismatchLeavesTheBadFile)
{
    TemporaryFolder folder;
    Recorder recorder;
    EXPECT_FALSE(recorder.Extract(
        Compressed(PackageBytes({{L"bad.txt", "content", L"<InstallPath>", 0x12345678u}, {L"next.txt", "n"}})),
        folder.path));
    EXPECT_EQ(recorder.lines.back(), Failed(invalid_checksum, L"bad.txt"));
    EXPECT_EQ(std::count(recorder.lines.begin(), recorder.lines.end(), L"file_finished bad.txt"), 0);
    EXPECT_EQ(ReadFileBytes(folder.path / L"bad.txt"), "content") << "the file stays for the caller to judge";
    EXPECT_FALSE(fs::exists(folder.path / L"next.txt"));
}

TEST(Extraction, ReadOnlyDestinationIsOverwritten)
{
    TemporaryFolder folder;
    const fs::path existing = folder.path / L"sub" / L"app.cfg";
    fs::create_directories(existing.parent_path());
    WriteFileBytes(existing, "old settings");
    ASSERT_TRUE(::SetFileAttributesW(existing.c_str(), FILE_ATTRIBUTE_READONLY));
    Recorder recorder;
    EXPECT_TRUE(recorder.Extract(Compressed(PackageBytes({{L"app.cfg", "new", L"<InstallPath>\\sub"}})), folder.path));
    EXPECT_EQ(ReadFileBytes(existing), "new");
    // Wine lets root write a read-only file anyway; the attribute shows that it was lifted first,
    // as Windows needs.
    EXPECT_EQ(::GetFileAttributesW(existing.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(Extraction, MissingFoldersAreCreated)
{
    TemporaryFolder folder;
    Recorder recorder;
    EXPECT_TRUE(recorder.Extract(
        Compressed(PackageBytes({{L"deep.txt", "d", L"<InstallPath>\\one\\two"}, {L"t.txt", "t", L"<Temporary>"}})),
        folder.path));
    EXPECT_EQ(ReadFileBytes(folder.path / L"one" / L"two" / L"deep.txt"), "d");
    EXPECT_EQ(ReadFileBytes(folder.path / L"t.txt"), "t") << "without a temporary folder: the installation folder";
}

TEST(Extraction, ZeroLengthEntriesAfterTheLastContentAreCreatedToo)
{
    TemporaryFolder folder;
    Recorder recorder;
    EXPECT_TRUE(recorder.Extract(Compressed(PackageBytes({{L"a.txt", "a"}, {L"z1", ""}, {L"z2", "", L"<InstallPath>\\z"}})),
                                 folder.path));
    EXPECT_EQ(fs::file_size(folder.path / L"z1"), 0u);
    EXPECT_EQ(fs::file_size(folder.path / L"z" / L"z2"), 0u);
    EXPECT_EQ(std::count(recorder.lines.begin(), recorder.lines.end(), L"file_finished z\\z2"), 1);
    EXPECT_EQ(recorder.lines.back().rfind(L"finished ", 0), 0u);
}

TEST(Extraction, BadStreamsFailBeforeOrWhereTheyGoWrong)
{
    const std::string good = Compressed(PackageBytes({{L"a.txt", std::string(20000, 'a')}}));
    std::string corrupt = good;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x55);
    const struct {
        const char* what;
        std::string compressed;
        std::wstring failed;
        std::size_t files;
    } cases[] = {
        {"an empty stream", "", Failed(decompression_error), 0},
        {"not bzip2 at all", "PK\x03\x04 a zip file", Failed(decompression_error), 0},
        {"corrupt bzip2 data", corrupt, Failed(decompression_error), 0},
        // Its one block is whole, so a.txt is complete; the stream's end marker is missing.
        {"bzip2 data that ends early", good.substr(0, good.size() - 10), Failed(decompression_error), 1},
        // The garbage fails while a.txt is still being written.
        {"bytes after the bzip2 stream", good + "trailing", Failed(decompression_error, L"a.txt"), 1},
        {"data beyond the last entry", Compressed(PackageBytes({{L"a.txt", "a"}}, "extra")), Failed(unexpected_error), 1},
        {"a header that ends early", Compressed(PackageBytes({{L"a.txt", "a"}}).substr(0, 20)), Failed(unexpected_error),
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder;
        Recorder recorder;
        EXPECT_FALSE(recorder.Extract(c.compressed, folder.path));
        EXPECT_EQ(recorder.lines.back(), c.failed);
        EXPECT_EQ(folder.Count(), c.files);
    }
}

TEST(Extraction, ErrorRecordsLeftByTheReceiverDoNotNameAStreamFailure)
{
    // The installation's own work between notifications may fail a run-time library call and
    // leave its error records set; the stream's own failure must still read as a bzip2 error.
    const std::string good = Compressed(PackageBytes({{L"a.txt", std::string(20000, 'a')}}));
    TemporaryFolder folder;
    Recorder recorder;
    recorder.answer = [](const notification&) {
        _doserrno = ERROR_ACCESS_DENIED;
        errno = EACCES;
        return notification::result::proceed;
    };
    EXPECT_FALSE(recorder.Extract(good.substr(0, good.size() - 10), folder.path));
    EXPECT_EQ(recorder.lines.back(), Failed(decompression_error));
}

TEST(Extraction, StreamEndingInsideAnEntryNamesThatEntry)
{
    TemporaryFolder folder;
    Recorder recorder;
    std::string package = PackageBytes({{L"a.txt", "aaaa"}, {L"b.txt", "bbbbbbbb"}});
    package.resize(package.size() - 3);
    EXPECT_FALSE(recorder.Extract(Compressed(package), folder.path));
    EXPECT_EQ(recorder.lines.back(), Failed(unexpected_error, L"b.txt"));
    EXPECT_EQ(ReadFileBytes(folder.path / L"b.txt"), "bbbbb") << "the file in progress stays, closed, as written so far";
}

TEST(Extraction, UnsafeHeadersAreRefusedBeforeAnyFileIsWritten)
{
    std::string shortHeader = PackageBytes({{L"a.txt", "a"}});
    shortHeader[0] = 11;
    std::string hugeHeader = PackageBytes({{L"a.txt", "a"}});
    hugeHeader[4] = 1; // header_size of 4 GiB and more
    const struct {
        const char* what;
        std::string package;
    } cases[] = {
        {"header_size below 12", shortHeader},
        {"header_size of 4 GiB or more", hugeHeader},
        {"a file name \"..\"", PackageBytes({{L"a.txt", "a"}, {L"..", "escape"}})},
        {"a file name with a drive", PackageBytes({{L"a.txt", "a"}, {L"C:evil.txt", "escape"}})},
        {"a device name", PackageBytes({{L"a.txt", "a"}, {L"CON", "escape"}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder;
        Recorder recorder;
        EXPECT_FALSE(recorder.Extract(Compressed(c.package), folder.path));
        EXPECT_EQ(recorder.lines, (Lines{L"started", Failed(unexpected_error)}));
        EXPECT_EQ(folder.Count(), 0u);
    }
}

TEST(Extraction, EmptyCallbackEscapesAsBadFunctionCall)
{
    TemporaryFolder folder;
    const std::string compressed = Compressed(PackageBytes({{L"a.txt", "a"}}));
    vt::imemstream stream(compressed.data(), compressed.size());
    EXPECT_THROW(extract_package(stream, folder.path.wstring(), L"", L"", nullptr), std::bad_function_call);
    EXPECT_EQ(folder.Count(), 0u);
}

TEST(Extraction, DestinationHeldByAnotherProcessIsASharingViolation)
{
    TemporaryFolder folder;
    const fs::path held = folder.path / L"held.txt";
    FileHolder holder(held);
    ASSERT_TRUE(holder.WaitReady());
    Recorder recorder;
    EXPECT_FALSE(recorder.Extract(Compressed(PackageBytes({{L"held.txt", "new"}})), folder.path));
    EXPECT_EQ(recorder.lines.back(), L"failed system " + std::to_wstring(ERROR_SHARING_VIOLATION) + L" held.txt");
    EXPECT_EQ(holder.Release(), 0u);
}

TEST(Extraction, FolderThatCannotBeCreatedIsASystemErrorWithTheEntry)
{
    TemporaryFolder folder;
    WriteFileBytes(folder.path / L"blocker", "a file where a folder should be");
    Recorder recorder;
    EXPECT_FALSE(recorder.Extract(Compressed(PackageBytes({{L"x.txt", "x", L"<InstallPath>\\blocker\\sub"}})),
                                  folder.path));
    ASSERT_FALSE(recorder.lines.empty());
    EXPECT_EQ(recorder.lines.back().rfind(L"failed system ", 0), 0u) << recorder.lines.back();
    EXPECT_NE(recorder.lines.back().find(L" blocker\\sub\\x.txt"), std::wstring::npos) << recorder.lines.back();
}

TEST(Extraction, TheRunVerifiesFirstAndRewinds)
{
    TemporaryFolder folder;
    const std::string compressed = Compressed(PackageBytes({{L"a.txt", "abc"}}));
    vt::imemstream stream(compressed.data(), compressed.size());
    Recorder recorder;
    recorder.root = folder.path;
    bool verified = false;
    recorder.answer = [&](const notification& message) {
        if (message.index() == 0) {
            verified = verify_package(stream);
            stream.seekg(0);
        }
        return notification::result::proceed;
    };
    EXPECT_TRUE(extract_package(stream, folder.path.wstring(), L"", L"", recorder.Callback()));
    EXPECT_TRUE(verified);
    EXPECT_EQ(ReadFileBytes(folder.path / L"a.txt"), "abc");
    EXPECT_EQ(recorder.lines.back(), L"finished " + std::to_wstring(PackageBytes({{L"a.txt", "abc"}}).size()));
}

TEST(Extraction, VerificationFailureThrownByTheCallbackIsReported)
{
    TemporaryFolder folder;
    Recorder recorder;
    recorder.answer = [](const notification& message) -> notification::result {
        if (message.index() == 0)
            throw std::system_error(make_error_code(invalid_package));
        return notification::result::proceed;
    };
    EXPECT_FALSE(recorder.Extract(Compressed(PackageBytes({{L"a.txt", "a"}})), folder.path));
    EXPECT_EQ(recorder.lines, (Lines{L"started", Failed(invalid_package)}));
    EXPECT_EQ(folder.Count(), 0u);
}

TEST(VerifyPackage, WholeSoundStreamsOnly)
{
    const std::string good = Compressed(PackageBytes({{L"a.txt", "a"}}));
    const struct {
        const char* what;
        std::string bytes;
        bool sound;
    } cases[] = {
        {"a package", good, true},
        {"an empty stream", "", false},
        {"a cut stream", good.substr(0, good.size() - 4), false},
        {"garbage after the stream", good + "x", false},
        // Decompression alone cannot tell: the extraction finds the missing bytes.
        {"a package whose data ends early", Compressed(PackageBytes({{L"a.txt", "a"}}).substr(0, 30)), true},
    };
    for (const auto& c : cases) {
        vt::imemstream stream(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(verify_package(stream), c.sound) << c.what;
    }
}

TEST(FileCrc32, ReadsTheFileBackAndWaitsForAHolder)
{
    TemporaryFolder folder;
    const fs::path file = folder.path / L"check.txt";
    WriteFileBytes(file, "123456789");
    EXPECT_EQ(file_crc32(file), 0xCBF43926u);

    {
        FileHolder holder(file);
        ASSERT_TRUE(holder.WaitReady());
        std::thread releaser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            holder.Release();
        });
        EXPECT_EQ(file_crc32(file), 0xCBF43926u) << "read once the holder let go";
        releaser.join();
    }
    try {
        file_crc32(folder.path / L"missing.txt");
        ADD_FAILURE() << "no error for a missing file";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::error_code(ERROR_FILE_NOT_FOUND, std::system_category()));
    }
}

TEST(FileCrc32, GivesUpAfterThreeRetries)
{
    TemporaryFolder folder;
    const fs::path file = folder.path / L"held.txt";
    FileHolder holder(file);
    ASSERT_TRUE(holder.WaitReady());
    const ULONGLONG start = ::GetTickCount64();
    try {
        file_crc32(file);
        ADD_FAILURE() << "no error while another process holds the file";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::error_code(ERROR_SHARING_VIOLATION, std::system_category()));
    }
    // Three retries a second apart: it cannot have given up sooner (a lower bound only, which
    // no load on the machine can break).
    EXPECT_GE(::GetTickCount64() - start, 2900u) << "gave up without waiting for the holder";
    EXPECT_EQ(holder.Release(), 0u);
}

TEST(PackageResource, AbsentResourceIsAnEmptyStream)
{
    vt::imemstream stream = open_package_resource();
    EXPECT_EQ(stream.rdbuf()->range().second, 0u) << "this test program carries no package";
    EXPECT_FALSE(verify_package(stream));
    stream.seekg(0);
    TemporaryFolder folder;
    Recorder recorder;
    recorder.root = folder.path;
    EXPECT_FALSE(extract_package(stream, folder.path.wstring(), L"", L"", recorder.Callback()));
    EXPECT_EQ(recorder.lines, (Lines{L"started", Failed(decompression_error)}));
}

TEST(PackageResource, TheInstallersPayloadExtractsByteForByte)
{
    // The installer's module as the language's resource module, which is searched first.
    vt::unique_hmodule installer(::LoadLibraryExW(testsupport::InstallerPath().c_str(), nullptr,
                                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(installer);
    LanguageState& language = GetLanguageState();
    const HMODULE previous = std::exchange(language.resourceModule, installer.get());
    vt::imemstream stream = open_package_resource();
    language.resourceModule = previous;

    TemporaryFolder install, samples;
    std::vector<std::pair<std::wstring, std::wstring>> written; // destination, source
    Recorder recorder;
    recorder.root = install.path;
    recorder.answer = [&](const notification& message) {
        if (auto* done = std::get_if<notification::file_finished>(&message.value))
            written.emplace_back(done->entry->destination, done->entry->source);
        return notification::result::proceed;
    };
    ASSERT_TRUE(extract_package(stream, install.path.wstring(), samples.path.wstring(), L"", recorder.Callback()))
        << testing::PrintToString(recorder.lines.back());
    EXPECT_EQ(written.size(), 9u);
    for (const auto& [destination, source] : written) {
        // The packer recorded the build machine's path, which Wine shows on drive Z:.
        EXPECT_EQ(ReadFileBytes(destination), ReadFileBytes(L"Z:" + source)) << testing::PrintToString(destination);
        EXPECT_EQ(fs::file_size(destination), fs::file_size(L"Z:" + source));
    }
    // The data folders of this prefix received files of their own; take them away again.
    for (const auto& [destination, source] : written) {
        if (fs::path(destination).parent_path().filename() == L"Ostrel 4") {
            boost::system::error_code ignored;
            fs::remove(destination, ignored);
            fs::remove(fs::path(destination).parent_path(), ignored);
            fs::remove(fs::path(destination).parent_path().parent_path(), ignored);
        }
    }
}

namespace {
class OtherBoostCategory : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "other"; }
    std::string message(int) const override { return "other"; }
};
const OtherBoostCategory kOtherCategory;
} // namespace

TEST(ExtractionFailure, ExceptionsMapToCodeAndPath)
{
    const auto boostCode = [](int value, const boost::system::error_category& category) {
        return boost::system::error_code(value, category);
    };
    const struct {
        const char* what;
        std::function<void()> raise;
        int doserrno;
        int errnoValue;
        std::error_code code;
    } cases[] = {
        {"a bzip2 error", [] { throw boost::iostreams::bzip2_error(boost::iostreams::bzip2::data_error); }, 0, 0,
         make_error_code(decompression_error)},
        {"a bzip2 error after a recorded system error",
         [] { throw boost::iostreams::bzip2_error(boost::iostreams::bzip2::data_error); }, ERROR_DISK_FULL, 0,
         {ERROR_DISK_FULL, std::system_category()}},
        {"a stream failure with errno", [] { throw std::ios_base::failure("write"); }, 0, ENOSPC,
         {ENOSPC, std::generic_category()}},
        {"a stream failure with nothing recorded", [] { throw std::ios_base::failure("write"); }, 0, 0,
         make_error_code(std::io_errc::stream)},
        {"a compress error", [] { throw std::system_error(make_error_code(interrupted)); }, 0, 0,
         make_error_code(interrupted)},
        {"a system error", [] { throw std::system_error(ERROR_ACCESS_DENIED, std::system_category()); }, 0, 0,
         {ERROR_ACCESS_DENIED, std::system_category()}},
        {"a Boost generic error",
         [&] { throw boost::system::system_error(boostCode(EACCES, boost::system::generic_category())); }, 0, 0,
         {EACCES, std::generic_category()}},
        {"a Boost system error",
         [&] { throw boost::system::system_error(boostCode(ERROR_PATH_NOT_FOUND, boost::system::system_category())); },
         0, 0, {ERROR_PATH_NOT_FOUND, std::system_category()}},
        {"a Boost error of another category",
         [&] { throw boost::system::system_error(boostCode(1, kOtherCategory)); }, 0, 0,
         make_error_code(unexpected_error)},
        {"out of memory", [] { throw std::bad_alloc(); }, 0, 0, make_error_code(unexpected_error)},
        {"any other standard exception", [] { throw std::out_of_range("index"); }, 0, 0,
         make_error_code(unexpected_error)},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
        } catch (const std::exception& error) {
            _doserrno = static_cast<unsigned long>(c.doserrno);
            errno = c.errnoValue;
            const notification::failed failure = failure_of(error, L"C:\\in\\progress.txt");
            EXPECT_EQ(failure.code, c.code) << c.what;
            EXPECT_EQ(failure.path, L"C:\\in\\progress.txt") << c.what;
        }
    }
    _doserrno = 0;
    errno = 0;
}

TEST(ExtractionFailure, FileSystemErrorsNameTheirPathBetweenFiles)
{
    const boost::filesystem::filesystem_error error(
        "create_directories", L"C:\\blocked\\folder",
        boost::system::error_code(ERROR_ACCESS_DENIED, boost::system::system_category()));
    const notification::failed between = failure_of(error, L"");
    EXPECT_EQ(between.path, L"C:\\blocked\\folder");
    EXPECT_EQ(between.code, std::error_code(ERROR_ACCESS_DENIED, std::system_category()));
    EXPECT_EQ(failure_of(error, L"C:\\entry.txt").path, L"C:\\entry.txt") << "the entry in progress comes first";
}

namespace {

struct Grant {
    fs::path folder;
    bool existed; // when it was opened
    bool operator==(const Grant&) const = default;
};

// Feeds a decompressed package to a writer whose common data folder is `commonData` and whose
// grants are recorded instead of made; `skip` names entries to skip.
std::vector<Grant> GrantsOfWriting(const std::string& bytes, const fs::path& commonData,
                                   const std::set<std::wstring>& skip = {})
{
    std::vector<Grant> grants;
    const special_folder_lookup shell = [&](int csidl) {
        return csidl == CSIDL_COMMON_APPDATA ? commonData.wstring() : std::wstring();
    };
    const notification_callback callback = [&](notification message) {
        auto* started = std::get_if<notification::file_started>(&message.value);
        return started != nullptr && skip.count(fs::path(started->entry->destination).filename().wstring())
                   ? notification::result::skip
                   : notification::result::proceed;
    };
    package_writer writer({(commonData / L"Install").wstring(), L"", L""}, callback, shell, [&](const fs::path& folder) {
        grants.push_back({folder, fs::is_directory(folder)});
        return true;
    });
    for (std::size_t offset = 0; offset < bytes.size();)
        offset += static_cast<std::size_t>(writer.write(bytes.data() + offset,
                                                        static_cast<std::streamsize>(bytes.size() - offset)));
    EXPECT_TRUE(writer.finish());
    return grants;
}

} // namespace

TEST(PackageWriter, SharedFoldersAreOpenedOnceWhenTheFirstFileBelowThemIsWritten)
{
    TemporaryFolder folder;
    const fs::path level1 = folder.path / L"Vantor & Lind";
    const fs::path level2 = level1 / L"Ostrel 4";
    const std::string bytes = PackageBytes({{L"first.dat", "1", L"<CommonData>\\Vantor & Lind\\Ostrel 4"},
                                            {L"second.dat", "2", L"<CommonData>\\Vantor & Lind\\Ostrel 4"},
                                            {L"upper.dat", "3", L"<CommonData>\\Vantor & Lind"},
                                            {L"program.exe", "4", L"<InstallPath>"}});
    EXPECT_EQ(GrantsOfWriting(bytes, folder.path), (std::vector<Grant>{{level1, true}, {level2, true}}))
        << "both levels, in the order recorded, once, after their folders exist";
}

TEST(PackageWriter, ASkippedFileOpensNothing)
{
    TemporaryFolder folder;
    const std::string bytes = PackageBytes({{L"skipped.dat", "1", L"<CommonData>\\Vantor & Lind"},
                                            {L"written.dat", "2", L"<CommonData>\\Elsewhere"}});
    EXPECT_EQ(GrantsOfWriting(bytes, folder.path, {L"skipped.dat"}),
              (std::vector<Grant>{{folder.path / L"Elsewhere", true}}));
}
