// A fuzz target's corpus replayed through the target's own entry point in the
// ordinary and the AddressSanitizer builds, so that every input a fuzzer ever
// crashed on (kept in fuzz/corpus/) guards against the fault coming back.
#include <QtTest>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

class CorpusReplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The target sends the library's lines to /dev/null; the test's own
        // report must still reach standard output.
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        int argc = 1;
        char name[] = "replay";
        char *args[] = {name, nullptr};
        char **argv = args;
        LLVMFuzzerInitialize(&argc, &argv);
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }

    void inputRunsCleanly_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(CORPUS_DIR));
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), CORPUS_DIR);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << corpus.filePath(file);
    }

    void inputRunsCleanly()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(CorpusReplay)
#include "replay_corpus.moc"
