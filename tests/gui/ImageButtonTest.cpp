#include "gui/ui/ImageButton.h"

#include "gui/ui/LockPair.h"
#include "gui/ui/ProgressCntrl.h"
#include "gui/ui/Skin.h"
#include "tests/gui/MouseEvents.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tavelin::gui;
using namespace tavelin::test;

class ImageButtonTest : public QObject {
    Q_OBJECT

  private:
    static ImageButton* makeButton() {
        const QPixmap p = Skin::button("Run", Skin::Face::Normal);
        auto* b = new ImageButton("cmdRun", p, p, p);
        b->resize(76, 20);
        return b;
    }

  private slots:
    void restHoverPressedRest() {
        std::unique_ptr<ImageButton> b(makeButton());
        QSignalSpy pressed(b.get(), &ImageButton::pressedDown);
        QSignalSpy released(b.get(), &ImageButton::releasedUp);
        QCOMPARE(b->top(), QString("cmdRunNormal"));
        // A press on the Normal picture does nothing: only the Active picture takes presses.
        press(b.get());
        release(b.get());
        QCOMPARE(pressed.count(), 0);

        hover(b.get());
        QCOMPARE(b->state(), ImageButton::State::Hover);
        QVERIFY(!b->isShown("cmdRunNormal") && !b->isShown("cmdRunDown"));
        press(b.get(), Qt::RightButton); // any mouse button presses
        QCOMPARE(b->state(), ImageButton::State::Pressed);
        QCOMPARE(pressed.count(), 1);
        hover(b.get()); // moving while held changes nothing
        QCOMPARE(b->state(), ImageButton::State::Pressed);
        release(b.get(), Qt::RightButton);
        QCOMPARE(b->state(), ImageButton::State::Rest);
        QCOMPARE(released.count(), 1);

        hover(b.get());
        b->toRest();
        QCOMPARE(b->top(), QString("cmdRunNormal"));
        QVERIFY(!b->isShown("cmdRunActive") && !b->isShown("cmdRunDown"));
    }

    void lockPairShowsThePressedPictureOfTheOtherButton() {
        LockPair pair;
        pair.resize(76, 20);
        QSignalSpy toggles(&pair, &LockPair::toggleRequested);
        QCOMPARE(pair.top(), QString("cmdUnlockNormal"));
        hover(&pair);
        QCOMPARE(pair.top(), QString("cmdUnlockActive"));
        press(&pair);
        QCOMPARE(toggles.count(), 1);
        QCOMPARE(pair.top(), QString("cmdLockDown"));
        release(&pair);
        QCOMPARE(pair.top(), QString("cmdLockDown"));
        pair.toRest(true); // unlocked now: Lock at rest
        QCOMPARE(pair.top(), QString("cmdLockNormal"));
        hover(&pair);
        QCOMPARE(pair.top(), QString("cmdLockActive"));
        press(&pair);
        QCOMPARE(pair.top(), QString("cmdUnlockDown"));
        QCOMPARE(toggles.count(), 2);
        release(&pair);
        pair.toRest(false);
        QCOMPARE(pair.top(), QString("cmdUnlockNormal"));
        for (const char* hidden : {"cmdUnlockActive", "cmdUnlockDown", "cmdLockActive",
                                   "cmdLockDown", "cmdLockNormal"}) {
            QVERIFY2(!pair.isShown(hidden), hidden);
        }
    }

    void progressGeometry_data() {
        QTest::addColumn<qint64>("max");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("width");
        QTest::newRow("quarter") << qint64(120) << qint64(30) << true << 100;
        QTest::newRow("zero hides") << qint64(120) << qint64(0) << false << 0;
        QTest::newRow("above max fills") << qint64(120) << qint64(150) << true << 500;
        QTest::newRow("max 0 keeps width") << qint64(0) << qint64(30) << true << 1;
        QTest::newRow("negative keeps width") << qint64(120) << qint64(-5) << true << 1;
        QTest::newRow("beyond 32 bits") << (qint64(3) << 30) << (qint64(3) << 29) << true << 200;
    }

    void progressGeometry() {
        QFETCH(qint64, max);
        QFETCH(qint64, value);
        QFETCH(bool, visible);
        QFETCH(int, width);
        ProgressCntrl bar;
        bar.resize(400, 17);
        bar.setMaximum(max);
        bar.setValue(value);
        bar.setCaption(QString::number(value));
        QCOMPARE(bar.barVisible(), visible);
        if (visible) {
            QCOMPARE(bar.barWidth(), width);
        }
        QCOMPARE(bar.caption(), QString::number(value));
    }
};

QTEST_MAIN(ImageButtonTest)
#include "ImageButtonTest.moc"
