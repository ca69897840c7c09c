// A long session: new game after new game must not make the player grow.
#include "main/FormFixture.h"
#include "windows/Progress.h"

#include <QPushButton>
#include <fstream>
#include <unistd.h>

namespace {

using LongSessionTest = ShownFormTest;

long ResidentKilobytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

// A player's session: each game is started from the loading window's button, then the next
// is asked for with "New game". After a few games to settle, a hundred more may add at most
// 2 MB of resident memory (each game kept about 0.7 MB before).
TEST_F(LongSessionTest, AHundredNewGamesGrowTheResidentMemoryByAtMostTwoMegabytes) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer holds freed memory back, so resident memory tells nothing";
#endif
    ASSERT_TRUE(Form.StartGame(Jpeg(500, 400)));
    const auto play = [this](bool newGame) {
        if (newGame) {
            Form.NewGameMenuClick();
        }
        ASSERT_TRUE(Form.FormProgress());
        Form.FormProgress()->ButtonClose->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    play(false);
    for (int game = 0; game < 5; ++game) {
        play(true);
    }
    const long before = ResidentKilobytes();
    for (int game = 0; game < 100; ++game) {
        play(true);
    }
    const long grown = ResidentKilobytes() - before;
    EXPECT_LE(grown, 2048) << "grew by " << grown << " kB";
    EXPECT_EQ(Form.findChildren<TFormProgress*>().size(), 0u); // none left behind unseen
}
