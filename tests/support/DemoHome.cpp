#include "DemoHome.h"

#include <QProcess>
#include <QTest>

void seedDemoHome(const QString& home, const QStringList& selectionPairs) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(
        QStringLiteral("sh"),
        QStringList{QStringLiteral(SKYGLANCE_SOURCE_DIR "/scripts/seed-demo-home.sh"), home} +
            selectionPairs);
    QVERIFY2(script.waitForFinished(30000), "the demo home script did not end");
    QCOMPARE(script.exitStatus(), QProcess::NormalExit);
    QCOMPARE(script.exitCode(), 0);
}
