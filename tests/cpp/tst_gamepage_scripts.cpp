#include <QtTest>
class GamePageScriptsTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(GamePageScriptsTest)
#include "tst_gamepage_scripts.moc"
