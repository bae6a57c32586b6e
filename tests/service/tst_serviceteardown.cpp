// A whole program on the global data manager, run as a child process: it
// follows --simulate and ends with its worker thread joined, also while a
// transfer is under way.
#include <QtTest>

class ServiceTeardown : public QObject
{
    Q_OBJECT

private slots:
    void programEndsCleanly_data()
    {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QByteArray on96("version 102\nsimulated yes\n");
        QTest::newRow("environment") << "Strata 96" << QStringList{} << on96;
        QTest::newRow("option") << "" << QStringList{"--simulate", "Strata 96"} << on96;
        QTest::newRow("option over environment") << "Strata 96" << QStringList{"--simulate=10"}
                                                 << QByteArray("version 105\nsimulated yes\n");
        QTest::newRow("real bus, no unit") << "" << QStringList{} << QByteArray("version 0\nsimulated no\n");
    }

    void programEndsCleanly()
    {
        QFETCH(QString, environment); QFETCH(QStringList, arguments);
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("STRATA_SIMULATE", environment);
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(TEARDOWN_PROBE), arguments);
        QVERIFY(probe.waitForFinished(30000));
        const QByteArray errors = probe.readAllStandardError();
        QVERIFY2(!errors.contains("QThread") && !errors.contains("QEventLoop"), errors.constData());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        // The library's diagnostics share standard output; compare the probe's lines.
        QByteArray lines;
        for (const QByteArray &line : probe.readAllStandardOutput().split('\n'))
            if (line.startsWith("version ") || line.startsWith("simulated "))
                lines += line + '\n';
        QTEST(lines, "output");
    }
};

QTEST_GUILESS_MAIN(ServiceTeardown)
#include "tst_serviceteardown.moc"
