#include "wizard/page_sequence.h"

#include "app/install_mode.h"

#include <gtest/gtest.h>

using namespace wizard;

TEST(PageSequence, FastMethodPassesOverFolderAndShortcutPagesInTheDirectionOfTravel)
{
    const struct {
        int requested, current;
        bool custom;
        int expected;
    } cases[] = {
        {0, -1, false, 0}, // the first page
        {1, 0, false, 1},  {2, 1, false, 4}, {3, 4, false, 1}, {4, 3, false, 4}, {5, 4, false, 5},
        {2, 1, true, 2},   {3, 2, true, 3},  {4, 3, true, 4},  {3, 4, true, 3},  {2, 3, true, 2},
        {1, 2, true, 1},
        // Re-selecting the current page is no move: even page 2 stays where it is.
        {4, 4, false, 4},  {2, 2, false, 2},
        // Switched from custom to fast while on the folder page: Next still passes over page 3.
        {3, 2, false, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageAfterSkipping(c.requested, c.current, c.custom), c.expected)
            << c.current << " -> " << c.requested << (c.custom ? " custom" : " fast");
}

TEST(PageSequence, ButtonStatesPerPageAndResult)
{
    using N = NextLabel;
    using E = ExitLabel;
    const struct {
        int page;
        bool done;
        N next;
        E exit;
        bool back, nextEnabled;
    } cases[] = {
        {0, false, N::Next, E::Cancel, false, true},  {1, false, N::Next, E::Cancel, true, true},
        {3, false, N::Next, E::Cancel, true, true},   {4, false, N::Install, E::Cancel, true, true},
        // After a successful installation: the transcript page leads only forward, the end page
        // only back, and Exit is the way out.
        {4, true, N::Next, E::Exit, false, true},     {5, true, N::Next, E::Exit, true, false},
    };
    for (const auto& c : cases) {
        const ButtonStates states = ButtonStatesFor(c.page, c.done);
        SCOPED_TRACE("page " + std::to_string(c.page) + (c.done ? " done" : ""));
        EXPECT_EQ(states.nextLabel, c.next);
        EXPECT_EQ(states.exitLabel, c.exit);
        EXPECT_EQ(states.backEnabled, c.back);
        EXPECT_EQ(states.nextEnabled, c.nextEnabled);
        EXPECT_EQ(states.focusOnNext, c.nextEnabled) << "the focus goes to Exit when Next is disabled";
    }
}

TEST(PageSequence, ExitAsksUnlessNothingCanBeLost)
{
    const struct {
        bool done;
        int mode, page;
        bool asks;
    } cases[] = {
        {false, ModeFresh, 0, true},  {false, ModeFresh, 4, true},  {false, ModeUpdate, 0, true},
        {false, ModeSame, 0, false},  {false, ModeSame, 1, true},   {false, ModeNewer, 0, false},
        {true, ModeFresh, 5, false},  {true, ModeSame, 4, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExitNeedsConfirmation(c.done, c.mode, c.page), c.asks)
            << "done " << c.done << " mode " << c.mode << " page " << c.page;
}
