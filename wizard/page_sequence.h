#pragma once
// The wizard's navigation rules, apart from any window: which page a move lands on, what the
// three buttons say and allow on each page, and when leaving asks for confirmation.
namespace wizard {

inline constexpr int kPageCount = 6;
inline constexpr int kStartPage = 0;
inline constexpr int kModePage = 1;
inline constexpr int kPathPage = 2;
inline constexpr int kShortcutPage = 3;
inline constexpr int kInstallPage = 4;
inline constexpr int kEndPage = 5;

// The page that a move from `current` (-1 before the first page) towards `requested` shows:
// the fast method passes over the folder and shortcut pages in the direction of travel.
int PageAfterSkipping(int requested, int current, bool customMode) noexcept;

enum class NextLabel { Next, Install };
enum class ExitLabel { Cancel, Exit };

struct ButtonStates {
    NextLabel nextLabel;
    ExitLabel exitLabel;
    bool backEnabled;
    bool nextEnabled;
    // The button that gets the focus and becomes the default: Next when enabled, else Exit.
    bool focusOnNext;
};

ButtonStates ButtonStatesFor(int current, bool installDone) noexcept;

// Whether Exit asks before closing the wizard. `installMode` is an InstallMode value.
bool ExitNeedsConfirmation(bool installDone, int installMode, int current) noexcept;

} // namespace wizard
