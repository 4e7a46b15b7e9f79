// Whole-installer scenarios of first installations: the quick path with everything checked on
// the machine afterwards, the custom path without shortcuts, and the runs whose later steps fail
// (the program's registration, the removal log) or that fail before anything is written (a
// corrupt package).
#include "tests/e2e/installation_checks.h"
#include "tests/e2e/scenario_steps.h"
#include "tests/support/installer_variants.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const InstallationFolders kDefaultFolders{kDefaultInstallFolder};

// Nothing of the product on the machine: no file in any of its folders, no shortcut, no registry
// value.
void ExpectNothingInstalled(const std::vector<ProductFile>& layout)
{
    for (const ProductFile& file : layout) {
        if (file.kind != FileKind::Temporary) {
            EXPECT_FALSE(std::filesystem::exists(file.folder)) << Utf8(file.folder);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(DefaultMenuFolder()));
    EXPECT_FALSE(std::filesystem::exists(CommonDesktop() + L"\\" + kProductWithVersion + L".lnk"));
    EXPECT_FALSE(testsupport::RegistryKeyExists(kUninstallKeyName));
    EXPECT_FALSE(testsupport::ReadRegistryValue(kMakerKeyName, kProgramPathValue).has_value());
}

} // namespace

TEST(Installation, QuickInstallationPlacesRegistersAndLogsTheProduct)
{
    const std::vector<ProductFile> layout = ReadProductLayout(kDefaultFolders);
    const Shortcuts shortcuts{true, true, DefaultMenuFolder()};
    const auto leftovers = InstallerLeftovers();
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));
    const InstallationPlan plan = PlanInstallation(layout, Mode::Fresh, {}, shortcuts);

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended) << "the run did not end";
    const std::vector<std::wstring> steps = StepLines(run.runText);
    EXPECT_EQ(Utf8Lines(steps), Utf8Lines(ExpectedStepLines(plan, true, steps)));
    ASSERT_TRUE(run.succeeded) << Utf8(run.status);
    EXPECT_EQ(Utf8(run.status), Utf8(kContinueStatus));

    ExpectFilesPlaced(plan);
    ExpectShortcuts(plan, shortcuts);
    ExpectRegistration(plan, 1); // English, the language in use
    ExpectRegistrationRun(plan.programPath, "");
    ExpectFirstInstallationLog(plan, shortcuts);
    EXPECT_EQ(InstallerLeftovers(), leftovers) << "the run's temporary folder, files and backups are gone";

    LeaveByTheEndPage(installer, wizard);
}

TEST(Installation, CustomInstallationWithoutShortcutsMakesNone)
{
    const std::vector<ProductFile> layout = ReadProductLayout(kDefaultFolders);
    const Shortcuts shortcuts{false, false, DefaultMenuFolder()};
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(wizard, 3));
    SetCheck(ActivePage(wizard), kMenuShortcut, false);
    SetCheck(ActivePage(wizard), kDesktopShortcut, false);
    ASSERT_EQ(Press(wizard, IDOK), 4);
    const InstallationPlan plan = PlanInstallation(layout, Mode::Fresh, {}, shortcuts);

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended);
    const std::vector<std::wstring> steps = StepLines(run.runText);
    EXPECT_EQ(Utf8Lines(steps), Utf8Lines(ExpectedStepLines(plan, false, steps))) << "no shortcut step";
    ASSERT_TRUE(run.succeeded) << Utf8(run.status);
    ExpectShortcuts(plan, shortcuts);
    EXPECT_FALSE(std::filesystem::exists(DefaultMenuFolder())) << "no Start-menu folder either";
    // The log still names the Start-menu folder, and holds no shortcut record.
    ExpectFirstInstallationLog(plan, shortcuts);
    LeaveByTheEndPage(installer, wizard);
}

TEST(Installation, ProgramEndingWithoutItsSuccessStatusOnlyFailsTheRegistryStep)
{
    // The installer hands its environment to the program it starts.
    const EnvironmentVariable exitStatus(L"OSTREL_STAND_IN_EXIT_STATUS", L"0");
    const std::vector<ProductFile> layout = ReadProductLayout(kDefaultFolders);
    const Shortcuts shortcuts{true, true, DefaultMenuFolder()};
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));
    const InstallationPlan plan = PlanInstallation(layout, Mode::Fresh, {}, shortcuts, false);

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended);
    const std::vector<std::wstring> steps = StepLines(run.runText);
    EXPECT_EQ(Utf8Lines(steps), Utf8Lines(ExpectedStepLines(plan, true, steps, L"Failed")));
    ASSERT_TRUE(run.succeeded) << "the installation still succeeds: " << Utf8(run.status);
    ExpectRegistrationRun(plan.programPath, "");
    ExpectFirstInstallationLog(plan, shortcuts);
    LeaveByTheEndPage(installer, wizard);
}

TEST(Installation, PackageWithoutUninstallerCannotPlaceItsLogButInstalls)
{
    const std::vector<ProductFile> layout = ReadProductLayout(kDefaultFolders);
    auto [installer, wizard] = StartWizard(testsupport::InstallerVariant(L"no-uninstaller"));
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended);
    const std::vector<std::wstring> steps = StepLines(run.runText);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(Utf8(steps.back()), "Installation Data Writing...Failed") << Utf8Lines(steps);
    ASSERT_TRUE(run.succeeded) << Utf8(run.status);
    EXPECT_EQ(Utf8(run.status), Utf8(kContinueStatus));
    const auto uninstallString = testsupport::ReadRegistryValue(kUninstallKeyName, L"UninstallString");
    ASSERT_TRUE(uninstallString.has_value());
    EXPECT_TRUE(*uninstallString == testsupport::RegistryText(L"")) << "an empty text";
    EXPECT_FALSE(std::filesystem::exists(kDefaultInstallFolder + L"\\Uninstall.ulog"));
    LeaveByTheEndPage(installer, wizard);
}

TEST(Installation, CorruptPackageFailsBeforeChangingAnything)
{
    const std::vector<ProductFile> layout = ReadProductLayout(kDefaultFolders);
    const auto leftovers = InstallerLeftovers();
    auto [installer, wizard] = StartWizard(testsupport::InstallerVariant(L"corrupt-package"));
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkFastMethodToInstallation(wizard));

    const RunOutcome run = RunInstallation(wizard);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(Utf8Lines(StepLines(run.runText)), "Preparing Installation...Failed\n");
    EXPECT_EQ(Utf8(run.status), Utf8(FailedStatus(L"4")));
    EXPECT_FALSE(run.succeeded);
    EXPECT_EQ(Utf8(ControlText(wizard, IDOK)), "Install") << "offered again";
    EXPECT_EQ(CurrentPage(wizard), 4);
    ExpectNothingInstalled(layout);
    EXPECT_EQ(InstallerLeftovers(), leftovers);
    ExitWizard(installer, wizard);
}
