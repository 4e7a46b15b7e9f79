// Whole-installer scenarios over an installation an older installer left (made by the test):
// a reinstallation of the same version, an update from 4.4, and an update that fails on a file
// another process holds and is rolled back, then succeeds once the file is free.
#include "tests/e2e/installation_checks.h"
#include "tests/e2e/previous_installation.h"
#include "tests/e2e/scenario_steps.h"
#include "tests/support/product_stand_ins.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

struct PreviousVersion {
    std::wstring product;     // as its log names it
    std::wstring program;     // the stand-in copied as its program
    Mode mode;
    std::string updateArgument; // the digits of " /update=", empty for none
};

PreviousVersion SameVersion()
{
    return {L"Ostrel 4.05", testsupport::StandInProgram(L"4.5.0.1"), Mode::Same, ""};
}

PreviousVersion OlderVersion()
{
    return {L"Ostrel 4.04", testsupport::StandInProgram(L"4.4.0.0"), Mode::Update, "0004000400000000"};
}

// The files a previous installation left, with their contents and attributes.
struct FileState {
    std::string bytes;
    DWORD attributes = 0;
    bool operator==(const FileState& other) const { return bytes == other.bytes && attributes == other.attributes; }
};

// Wine does not keep FILE_ATTRIBUTE_NOT_CONTENT_INDEXED: it is left out of the comparison.
FileState StateOf(const std::wstring& path)
{
    return {testsupport::ReadFileBytes(path), ::GetFileAttributesW(path.c_str()) & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED};
}

std::map<std::wstring, FileState> StatesOf(const PreviousInstallation& previous)
{
    std::map<std::wstring, FileState> states;
    for (const PreviousFile& file : previous.files)
        states[file.path] = StateOf(file.path);
    for (const std::wstring& path : previous.shortcuts)
        states[path] = StateOf(path);
    states[previous.logPath] = StateOf(previous.logPath);
    return states;
}

void InstallOver(const PreviousVersion& version)
{
    const PreviousInstallation previous = MakePreviousInstallation(version.product, version.program);
    const std::vector<ProductFile> layout = ReadProductLayout({previous.installFolder});
    const Shortcuts shortcuts{true, true, previous.menuFolder};
    const auto before = StatesOf(previous);
    const auto leftovers = InstallerLeftovers();

    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));
    const std::wstring summary = ControlText(ActivePage(wizard), kInstallLog);
    EXPECT_NE(summary.find(L"Installation Folder: " + QuotedPath(previous.installFolder) + L"."), std::wstring::npos)
        << "the folders come from the previous log:\n" << Utf8(summary);
    const InstallationPlan plan = PlanInstallation(layout, version.mode, previous.dataFiles, shortcuts);

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended);
    const std::vector<std::wstring> steps = StepLines(run.runText);
    EXPECT_EQ(Utf8Lines(steps), Utf8Lines(ExpectedStepLines(plan, true, steps)));
    ASSERT_TRUE(run.succeeded) << Utf8(run.status);

    ExpectFilesPlaced(plan);
    // What this run did not write stays as the user left it.
    for (const PreviousFile& file : previous.files) {
        const bool written = std::any_of(plan.written.begin(), plan.written.end(),
                                         [&](const ProductFile& placed) { return placed.destination() == file.path; });
        if (!written) {
            EXPECT_TRUE(StateOf(file.path) == before.at(file.path)) << Utf8(file.path) << " was changed";
        }
    }
    // The shortcuts of the previous installation give way to this one's.
    for (const std::wstring& path : previous.shortcuts) {
        if (path.find(kProductWithVersion + L".lnk") == std::wstring::npos &&
            path.find(kUninstallShortcutName + L".lnk") == std::wstring::npos) {
            EXPECT_FALSE(std::filesystem::exists(path)) << Utf8(path);
        }
    }
    ExpectShortcuts(plan, shortcuts);
    ExpectRegistration(plan, 1);
    EXPECT_TRUE(testsupport::ReadRegistryValue(kUninstallKeyName, L"VtNote").has_value())
        << "a value the installer does not write stays";
    ExpectRegistrationRun(plan.programPath, version.updateArgument);

    std::vector<ExpectedRecord> merged = SurvivingRecords(previous.records, plan.records);
    merged.insert(merged.end(), plan.records.begin(), plan.records.end());
    ExpectRemovalLog(previous.logPath, RemovalLogLines(kProductWithVersion, version.product, previous.installFolder,
                                                       previous.menuFolder, merged));
    EXPECT_EQ(InstallerLeftovers(), leftovers) << "no backup is left once the log is saved";
    LeaveByTheEndPage(installer, wizard);
}

} // namespace

TEST(Reinstallation, SameVersionReplacesTheFilesAndKeepsTheUsersData)
{
    InstallOver(SameVersion());
}

TEST(Update, OlderVersionIsUpdatedInItsOwnFolders)
{
    InstallOver(OlderVersion());
}

TEST(Update, FileHeldByAnotherProgramFailsTheUpdateAndEverythingComesBack)
{
    const PreviousVersion version = OlderVersion();
    const PreviousInstallation previous = MakePreviousInstallation(version.product, version.program);
    const std::vector<ProductFile> layout = ReadProductLayout({previous.installFolder});
    const Shortcuts shortcuts{true, true, previous.menuFolder};
    // The sample file comes after every file of the installation folder and after the language
    // folder that the previous version did not have.
    const auto sample = std::find_if(layout.begin(), layout.end(), [&](const ProductFile& file) {
        return file.kind == FileKind::Ordinary && file.destination().rfind(previous.installFolder + L"\\", 0) != 0;
    });
    ASSERT_NE(sample, layout.end()) << "the package has no sample file";
    const auto before = StatesOf(previous);
    const auto keyBefore = testsupport::ReadRegistryValues(kUninstallKeyName);
    const auto programPathBefore = testsupport::ReadRegistryValue(kMakerKeyName, kProgramPathValue);
    const auto leftovers = InstallerLeftovers();

    HeldFile held(sample->destination());
    ASSERT_TRUE(held.WaitHeld());
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));
    const InstallationPlan plan = PlanInstallation(layout, version.mode, previous.dataFiles, shortcuts);

    const RunOutcome failed = RunInstallation(wizard);
    ASSERT_TRUE(failed.ended);
    EXPECT_FALSE(failed.succeeded);
    const std::vector<std::wstring> steps = StepLines(failed.runText);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(Utf8(steps.back()), Utf8(L"Copying File  " + QuotedPath(sample->destination()) + L"...Failed"))
        << Utf8Lines(steps);
    EXPECT_EQ(Utf8(failed.status), Utf8(FailedStatus(L"1:00000020"))) << "a sharing violation";
    EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), "Install");

    // Every replaced file is back as it was, read-only ones read-only; new files and folders are
    // gone; the registry is untouched; no backup or temporary file is left. (The held file can be
    // read once it is free.)
    EXPECT_EQ(held.Release(), 0u) << "the holder had the file";
    for (const auto& [path, state] : before) {
        EXPECT_TRUE(StateOf(path) == state) << Utf8(path) << " did not come back as it was";
    }
    for (const ProductFile& file : plan.written) {
        if (file.kind != FileKind::Temporary && before.count(file.destination()) == 0) {
            EXPECT_FALSE(std::filesystem::exists(file.destination())) << Utf8(file.destination());
        }
    }
    for (const ExpectedRecord& record : plan.records) {
        if (record.type == FolderRecord) {
            EXPECT_FALSE(std::filesystem::exists(record.path)) << Utf8(record.path);
        }
    }
    EXPECT_TRUE(testsupport::ReadRegistryValues(kUninstallKeyName) == keyBefore) << "the uninstall key";
    EXPECT_TRUE(testsupport::ReadRegistryValue(kMakerKeyName, kProgramPathValue) == programPathBefore);
    EXPECT_EQ(InstallerLeftovers(), leftovers);

    // With the file free, Install runs the whole installation again below the first transcript.
    const RunOutcome retried = RunInstallation(wizard);
    ASSERT_TRUE(retried.ended);
    EXPECT_EQ(retried.transcript.substr(0, failed.transcript.size()), failed.transcript);
    const std::vector<std::wstring> retriedSteps = StepLines(retried.runText);
    EXPECT_EQ(Utf8Lines(retriedSteps), Utf8Lines(ExpectedStepLines(plan, true, retriedSteps)));
    ASSERT_TRUE(retried.succeeded) << Utf8(retried.status);
    ExpectFilesPlaced(plan);
    LeaveByTheEndPage(installer, wizard);
}
