#include "gamepageharness.h"
class GamePageSavesTest : public QObject
{
    Q_OBJECT
};
GAMEPAGE_TEST_MAIN(GamePageSavesTest)
#include "tst_gamepage_saves.moc"
