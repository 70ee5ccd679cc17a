// The program itself: starts without a screen, keeps running, and closes
// cleanly on a termination signal; the config folder's marker file with an
// overlong word does no harm.
#include "Pty.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestProgramStart : public QObject {
    Q_OBJECT

    QTemporaryDir home_;

    bool startAndStop(const QStringList& args, int* exitCode) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home_.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZENTROVA_BINARY_DIR "/zentrova"), args);
        if (!p.waitForStarted(5000)) {
            return false;
        }
        if (p.waitForFinished(1500)) { // it must still be running
            qWarning() << "ended early:" << p.readAllStandardError();
            return false;
        }
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
        if (!p.waitForFinished(10000)) {
            p.kill();
            return false;
        }
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(home_.isValid()); }

    void startsKeepsRunningAndClosesCleanly() {
        Pty pty;
        QVERIFY(pty.ok());
        int code = -2;
        QVERIFY(startAndStop({"--port", QString::fromStdString(pty.path())}, &code));
        QCOMPARE(code, 0);
    }

    void overlongMarkerWordAndUnknownWords() {
        QDir().mkpath(home_.path() + "/Zentrova");
        QFile marker(home_.path() + "/Zentrova/test_kelvor.txt");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.write(QByteArray(10000, 'D') + "\nDIAG_SHOWUP\n");
        marker.close();
        Pty pty;
        int code = -2;
        QVERIFY(startAndStop({"--what", "NONSENSE", "--port", QString::fromStdString(pty.path())},
                             &code));
        QCOMPARE(code, 0);
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "test_program_start.moc"
