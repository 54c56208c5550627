// The --faults SCHEDULE: what is accepted, what is refused and why, and which
// fault is in force at a given second.
#include "FaultSchedule.h"

#include <QTest>

using namespace skyglance::catalogue;

Q_DECLARE_METATYPE(std::string)

class TestFaultSchedule : public QObject {
    Q_OBJECT

private slots:
    void readsEveryKindAndTheRepeat();
    void refusesBadSpecs_data();
    void refusesBadSpecs();
    void tellsTheFaultInForce();
    void repeatReplaysTheWholeSchedule();
    void logsEachWindowsStartAndEnd();
};

void TestFaultSchedule::readsEveryKindAndTheRepeat() {
    std::string error;
    const auto schedule = FaultSchedule::parse(
        "dead@0+5,stall@5+5,truncate@10+1,404@11+1,oversize@12+1,type@13+1,redirect@14+6,"
        "repeat=20",
        error);
    QVERIFY2(schedule, error.c_str());
    QCOMPARE(schedule->windows().size(), std::size_t(7));
    QCOMPARE(schedule->repeat(), 20);
    const FaultKind kinds[] = {FaultKind::Dead,     FaultKind::Stall,    FaultKind::Truncate,
                               FaultKind::NotFound, FaultKind::Oversize, FaultKind::WrongType,
                               FaultKind::Redirect};
    for (std::size_t i = 0; i < 7; ++i) {
        QCOMPARE(schedule->windows()[i].kind, kinds[i]);
    }
    QCOMPARE(schedule->windows()[3].text(), std::string("404@11+1"));
    QVERIFY(FaultSchedule::parse("stall@30+10", error));
    QCOMPARE(FaultSchedule::parse("stall@30+10", error)->repeat(), 0);
}

void TestFaultSchedule::refusesBadSpecs_data() {
    QTest::addColumn<QString>("schedule");
    QTest::addColumn<QString>("said"); // part of the message
    QTest::newRow("empty") << ""
                           << "empty";
    QTest::newRow("unknown kind") << "slow@1+2"
                                  << "unknown fault 'slow'";
    QTest::newRow("no at") << "dead1+2"
                           << "kind@start+length";
    QTest::newRow("no plus") << "dead@1"
                             << "kind@start+length";
    QTest::newRow("negative") << "dead@-1+2"
                              << "whole seconds";
    QTest::newRow("fraction") << "dead@1.5+2"
                              << "whole seconds";
    QTest::newRow("blank") << "dead@1+ 2"
                           << "whole seconds";
    QTest::newRow("zero length") << "dead@1+0"
                                 << "at least 1 second";
    QTest::newRow("trailing comma") << "dead@1+2,"
                                    << "empty item";
    QTest::newRow("repeat first") << "repeat=10,dead@1+2"
                                  << "comes last";
    QTest::newRow("repeat alone") << "repeat=10"
                                  << "comes last";
    QTest::newRow("repeat twice") << "dead@1+2,repeat=10,repeat=10"
                                  << "comes last";
    QTest::newRow("repeat zero") << "dead@1+2,repeat=0"
                                 << ">= 1";
    QTest::newRow("upper case") << "DEAD@1+2"
                                << "unknown fault";
    QTest::newRow("huge") << "dead@1+99999999999"
                          << "whole seconds";
}

void TestFaultSchedule::refusesBadSpecs() {
    QFETCH(QString, schedule);
    QFETCH(QString, said);
    std::string error;
    QVERIFY(!FaultSchedule::parse(schedule.toStdString(), error));
    QVERIFY2(QString::fromStdString(error).contains(said), error.c_str());
}

void TestFaultSchedule::tellsTheFaultInForce() {
    std::string error;
    const auto schedule = FaultSchedule::parse("404@10+5,dead@12+10", error);
    QVERIFY(schedule);
    QCOMPARE(schedule->activeAt(0).kind, FaultKind::None);
    QCOMPARE(schedule->activeAt(9.999).kind, FaultKind::None);
    QCOMPARE(schedule->activeAt(10).kind, FaultKind::NotFound);
    QCOMPARE(schedule->activeAt(10).until, 15.0);
    // Overlapping windows: the one listed first applies.
    QCOMPARE(schedule->activeAt(13).kind, FaultKind::NotFound);
    QCOMPARE(schedule->activeAt(15).kind, FaultKind::Dead);
    QCOMPARE(schedule->activeAt(15).window, 1);
    QCOMPARE(schedule->activeAt(21.9).kind, FaultKind::Dead);
    QCOMPARE(schedule->activeAt(22).kind, FaultKind::None);
    QCOMPARE(schedule->activeAt(1e6).kind, FaultKind::None); // played once
    QCOMPARE(schedule->activeAt(-1).kind, FaultKind::None);
}

void TestFaultSchedule::repeatReplaysTheWholeSchedule() {
    std::string error;
    const auto schedule = FaultSchedule::parse("stall@2+3,type@5+1,repeat=10", error);
    QVERIFY(schedule);
    QCOMPARE(schedule->activeAt(3).kind, FaultKind::Stall);
    QCOMPARE(schedule->activeAt(3).round, 0);
    QCOMPARE(schedule->activeAt(13).kind, FaultKind::Stall);
    QCOMPARE(schedule->activeAt(13).round, 1);
    QCOMPARE(schedule->activeAt(13).until, 15.0);
    QCOMPARE(schedule->activeAt(15.5).kind, FaultKind::WrongType);
    QCOMPARE(schedule->activeAt(16).kind, FaultKind::None);
    QCOMPARE(schedule->activeAt(20).kind, FaultKind::None);
    QCOMPARE(schedule->activeAt(10002).kind, FaultKind::Stall);
    QCOMPARE(schedule->activeAt(10002).round, 1000);
    // A window reaching past the round is cut where the next round begins.
    const auto cut = FaultSchedule::parse("dead@5+10,repeat=12", error);
    QVERIFY(cut);
    QCOMPARE(cut->activeAt(11).until, 12.0);
    QCOMPARE(cut->activeAt(12.5).kind, FaultKind::None);
    QCOMPARE(cut->activeAt(17).kind, FaultKind::Dead);
    // A window may end exactly where the round does.
    QVERIFY(FaultSchedule::parse("dead@5+5,repeat=10", error));
    QCOMPARE(FaultSchedule::parse("dead@5+5,repeat=10", error)->activeAt(19.5).kind,
             FaultKind::Dead);
}

void TestFaultSchedule::logsEachWindowsStartAndEnd() {
    std::string error;
    const auto schedule = FaultSchedule::parse("dead@1+1,404@2+1,repeat=5", error);
    QVERIFY(schedule);
    const ActiveFault none = schedule->activeAt(0);
    const ActiveFault dead = schedule->activeAt(1);
    const ActiveFault missing = schedule->activeAt(2);
    QVERIFY(schedule->changeLines(none, schedule->activeAt(0.5)).empty());
    QCOMPARE(schedule->changeLines(none, dead),
             std::vector<std::string>{"fault dead@1+1 starts (round 1)"});
    QCOMPARE(schedule->changeLines(dead, missing),
             (std::vector<std::string>{"fault dead@1+1 ends (round 1)",
                                       "fault 404@2+1 starts (round 1)"}));
    QCOMPARE(schedule->changeLines(missing, schedule->activeAt(3)),
             std::vector<std::string>{"fault 404@2+1 ends (round 1)"});
    // The same window in the next round is a new window.
    QCOMPARE(schedule->changeLines(dead, schedule->activeAt(6)).size(), std::size_t(2));
}

QTEST_APPLESS_MAIN(TestFaultSchedule)
#include "test_fault_schedule.moc"
