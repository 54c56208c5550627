#pragma once
// The seeded demo home, written by scripts/seed-demo-home.sh alone, so that
// the demo, the benchmarks and the tests start from the same files.
#include <QString>
#include <QStringList>

// A home as the program leaves it after its first start: English, a direct
// connection, the default town, and the selection given as catalogue row
// and picture ID pairs (the script's sample selection when empty). A
// failure fails the running test.
void seedDemoHome(const QString& home, const QStringList& selectionPairs = {});
