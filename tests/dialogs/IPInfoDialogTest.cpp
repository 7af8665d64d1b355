#include "dialogs/IPInfoDialog.h"

#include <gtest/gtest.h>

#include <future>

#include "net/Reactor.h"
#include "tests/dialogs/FakeDialogControls.h"
#include "tests/support/Dispatch.h"
#include "tests/support/TempFolder.h"

namespace {

// The lookup runs off the loop's thread; closing the dialog does not wait for it, and its
// late answer never reaches the controls that are gone.
TEST(IPInfoDialogTest, AnswerAfterTheDialogClosedIsDropped) {
    CReactor reactor;
    const kit::CTempFolder folder;
    std::promise<void> release;
    CIPInfoDialog dialog(folder.Profile(), [released = release.get_future().share()] {
        released.wait();
        return std::vector<std::string>{"10.1.2.3"};
    });
    dialogtest::CFakeDialogControls controls;
    dialog.OnInitDialog(controls);
    EXPECT_TRUE(dialog.IsLookingUp());
    dialog.OnClosed();
    EXPECT_FALSE(dialog.IsLookingUp());
    release.set_value();
    kit::DispatchFor(reactor, 100);
    EXPECT_TRUE(controls.Get(CIPInfoDialog::kMachineAddressList).entries.empty());
}

}  // namespace
