#include "wizard/page_sequence.h"

#include "app/install_mode.h"

namespace wizard {

int PageAfterSkipping(int requested, int current, bool customMode) noexcept
{
    int target = requested;
    if (!customMode && requested != current) {
        const int step = requested > current ? 1 : -1;
        while (target == kPathPage || target == kShortcutPage)
            target += step;
    }
    return target;
}

ButtonStates ButtonStatesFor(int current, bool installDone) noexcept
{
    ButtonStates states{};
    states.nextLabel = current == kInstallPage && !installDone ? NextLabel::Install : NextLabel::Next;
    states.exitLabel = installDone ? ExitLabel::Exit : ExitLabel::Cancel;
    // After a completed installation only the end page leads back (to the transcript).
    states.backEnabled = (current > kStartPage && !installDone) || current > kInstallPage;
    states.nextEnabled = current < kEndPage;
    states.focusOnNext = states.nextEnabled;
    return states;
}

bool ExitNeedsConfirmation(bool installDone, int installMode, int current) noexcept
{
    return !installDone && installMode != ModeNewer && !(installMode == ModeSame && current == kStartPage);
}

} // namespace wizard
