// The --simulate option of the panel and stratactl: finding the model on the
// command line, taking the option out for the program's own parsing, and no
// restart when the environment already agrees.
#include <QtTest>

#include <vector>

#include "service/simulationoption.h"

namespace {

// An argv the way main gets it: writable strings, null after the last.
struct Argv {
    explicit Argv(const QStringList &args)
    {
        for (const QString &arg : args)
            storage.push_back(arg.toLocal8Bit());
        for (QByteArray &arg : storage)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);
    }
    int argc() const { return int(storage.size()); }
    char **argv() { return pointers.data(); }
    std::vector<QByteArray> storage;
    std::vector<char *> pointers;
};

} // namespace

class SimulationOptionArgs : public QObject
{
    Q_OBJECT

private slots:
    void optionNamesTheModel_data();
    void optionNamesTheModel();
    void matchingEnvironmentNeedsNoRestart();
};

void SimulationOptionArgs::optionNamesTheModel_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("stripped");

    QTest::newRow("absent") << QStringList{"p", "info"} << false << "" << QStringList{"p", "info"};
    QTest::newRow("two words") << QStringList{"p", "--simulate", "Strata 96", "info"} << true
                               << "Strata 96" << QStringList{"p", "info"};
    QTest::newRow("equals, last wins") << QStringList{"p", "--simulate", "14", "-w", "--simulate=10"}
                                       << true << "10" << QStringList{"p", "-w"};
    QTest::newRow("no model") << QStringList{"p", "info", "--simulate"} << true << ""
                              << QStringList{"p", "info"};
    QTest::newRow("look-alikes and the program name stay")
        << QStringList{"--simulate", "--simulated", "x", "-simulate"} << false << ""
        << QStringList{"--simulate", "--simulated", "x", "-simulate"};
}

void SimulationOptionArgs::optionNamesTheModel()
{
    QFETCH(QStringList, args);
    QFETCH(bool, found);
    QFETCH(QString, model);
    QFETCH(QStringList, stripped);

    Argv argv(args);
    bool seen = !found;
    QCOMPARE(SimulationOption::model(argv.argc(), argv.argv(), &seen), model);
    QCOMPARE(seen, found);

    const int argc = SimulationOption::strip(argv.argc(), argv.argv());
    QStringList remaining;
    for (int i = 0; i < argc; ++i)
        remaining << QString::fromLocal8Bit(argv.argv()[i]);
    QCOMPARE(remaining, stripped);
    QVERIFY(argv.argv()[argc] == nullptr);
}

void SimulationOptionArgs::matchingEnvironmentNeedsNoRestart()
{
    // Returning at all shows that the program was not started again.
    qputenv("STRATA_SIMULATE", "Strata 96");
    for (const QStringList &args : {QStringList{"p", "--simulate", "Strata 96"}, QStringList{"p"},
                                    QStringList{"p", "--simulate="}}) {
        Argv argv(args);
        QVERIFY(SimulationOption::apply(argv.argc(), argv.argv()));
    }
    QVERIFY(SimulationOption::isSimulated());
    qputenv("STRATA_SIMULATE", "");
    QVERIFY(!SimulationOption::isSimulated());
}

QTEST_GUILESS_MAIN(SimulationOptionArgs)
#include "tst_simulationoption.moc"
