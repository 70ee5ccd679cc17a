// The main window's skeleton: controls by name, start-up order effects, the
// port and its failures, test mode, and closing.
#include "CGauge.h"
#include "Pty.h"
#include "QtSerialPort.h"
#include "RecordingDialogs.h"
#include "RecordingSink.h"
#include "TFormHlav.h"

#include "link/BlockFrame.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace zentrova;

namespace {

std::vector<std::uint8_t> bytesOf(const Frame& f) {
    return {f.begin(), f.end()};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir configHome_;
    RecordingDialogs dialogs_;

    std::unique_ptr<TFormHlav> makeWindow(QStringList args) {
        dialogs_.messages.clear();
        StartOptions options = ParseCommandLine(args);
        options.dialogs = &dialogs_;
        return std::make_unique<TFormHlav>(options);
    }
    QString configDir() const { return configHome_.path() + "/Zentrova"; }
    void writeMarker(const QByteArray& content) {
        QDir().mkpath(configDir());
        QFile f(configDir() + "/test_kelvor.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void removeMarker() { QFile::remove(configDir() + "/test_kelvor.txt"); }

private slots:
    void initTestCase() {
        QVERIFY(configHome_.isValid());
        qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
    }

    void designedControlsExistByName() {
        Pty pty;
        QVERIFY(pty.ok());
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QCOMPARE(w->size(), QSize(1011, 842));
        for (const char* name :
             {"LabelHlaseni", "LabelSpojeni", "LabelVersion", "LabelEeDataErr", "LabelRpm",
              "LabelMon_Jet_14A", "LabelClazeniMon", "LabelTest1", "LabelTest8"}) {
            QVERIFY2(w->findChild<QLabel*>(name) != nullptr, name);
        }
        for (const char* name : {"CGaugeProgram", "CGaugeRpm", "CGaugeTps", "CGaugeLambda",
                                 "CGaugeVoda", "CGaugeDuty"}) {
            QVERIFY2(w->findChild<CGauge*>(name) != nullptr, name);
        }
        for (const char* name : {"ButtonRead", "ButtonVerify", "ButtonProgram"}) {
            QVERIFY2(w->findChild<QPushButton*>(name) != nullptr, name);
        }
        auto* timer = w->findChild<QTimer*>("Timer1");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 55);
        QVERIFY(w->findChild<QStatusBar*>("StatusBar1"));
    }

    void menuBarInDesignedOrder() {
        Pty pty;
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QStringList names;
        for (QAction* a : w->menuBar()->actions()) {
            names << a->menu()->objectName();
        }
        QCOMPARE(names, QStringList({"MenuFile", "MenuCom", "MenuDevice", "Menu_Jet123Mode",
                                     "MenuTools", "MenuLanguage", "MenuHelp"}));
        auto* com = w->findChild<QMenu*>("MenuCom");
        QCOMPARE(com->actions().size(), 20);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(com->actions()[i]->text(), QStringLiteral("Com %1").arg(i + 1));
        }
        auto* read = w->findChild<QAction*>("MenuRead");
        QVERIFY(read);
        QCOMPARE(read->shortcut(), QKeySequence(Qt::Key_F7));
        // Commands that are not built yet do not pretend to work.
        QVERIFY(!w->findChild<QAction*>("MenuSave")->isEnabled());
        QVERIFY(w->findChild<QAction*>("MenuExit")->isEnabled());
    }

    void elevenPagesTuningHiddenServoActive() {
        Pty pty;
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        QVERIFY(pages);
        QCOMPARE(pages->count(), 11);
        const char* names[] = {"TabSheet_Map0",  "TabSheet_Map1",  "TabSheet_Map2",
                               "TabSheet_Map3",  "TabSheet_Map4",  "TabSheet_Poloha",
                               "TabSheet_Servo", "TabSheet_Ruzne", "TabSheet_Korekce",
                               "TabSheet_Gas",   "TabSheet_Ladeni"};
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(pages->widget(i)->objectName(), QString(names[i]));
        }
        QVERIFY(!pages->isTabVisible(10));
        QCOMPARE(pages->currentIndex(), 6);
    }

    void startUpHidesStatusAndShowsNoConnection() {
        Pty pty;
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        w->show();
        QVERIFY(dialogs_.messages.isEmpty());
        QVERIFY(w->findChild<QLabel*>("LabelHlaseni")->isHidden());
        QVERIFY(w->findChild<CGauge*>("CGaugeProgram")->isHidden());
        QVERIFY(w->findChild<QLabel*>("LabelEeDataErr")->isHidden());
        QVERIFY(!w->findChild<QLabel*>("LabelSpojeni")->isHidden());
        // Not connected: the monitor labels show their placeholders.
        QCOMPARE(w->findChild<QLabel*>("LabelMon_Jet_14A")->text(),
                 QString("Injection time 14A = --- us"));
        QCOMPARE(w->findChild<QLabel*>("LabelMon_PolohaA")->text(), QString("Position A = ---"));
        QCOMPARE(w->state().image[img::BIKE], 11);
        QCOMPARE(w->state().ComPortIndex, 0);
    }

    void portThatCannotBeOpenedIsReportedInTheLanguageOfTheCommandLine() {
        struct Case {
            QStringList args;
            QString text;
        } cases[] = {
            {{"--port", "/dev/zentrova-no-such-device"}, "Com opening error!"},
            {{"DEUTSCH", "--port", "/dev/zentrova-no-such-device"}, "Falscher COM-Anschlußes!"},
            {{"deutsch", "--port", "/dev/zentrova-no-such-device"}, "Com opening error!"},
            {{"CESKY", "ENGLISH", "--port", "/dev/zentrova-no-such-device"},
             "Chyba při otevírání portu Com!"},
        };
        for (const auto& c : cases) {
            auto w = makeWindow(c.args);
            QCOMPARE(dialogs_.messages.size(), 1);
            QCOMPARE(dialogs_.messages.front(), c.text);
            QVERIFY(!w->serialPort().isOpen());
            w->close(); // closing with a port that never opened shows nothing more
            QCOMPARE(dialogs_.messages.size(), 1);
        }
    }

    void aBusyDeviceIsReportedWithItsReason() {
        Pty pty;
        QSerialPort holder(QString::fromStdString(pty.path()));
        QVERIFY(holder.open(QIODevice::ReadWrite));
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QVERIFY(!w->serialPort().isOpen());
        QCOMPARE(dialogs_.messages.size(), 1);
        const QStringList lines = dialogs_.messages.front().split('\n');
        QCOMPARE(lines.front(), QString("Com opening error!"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.back().contains("in use"));
    }

    void choosingAPortReopensAndMovesTheTick() {
        Pty pty;
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QVERIFY(w->serialPort().isOpen());
        auto* com = w->findChild<QMenu*>("MenuCom");
        // A port number no device answers to: message, tick moves all the same.
        QAction* com20 = com->actions()[19];
        com20->trigger();
        QCOMPARE(w->state().ComPortIndex, 19);
        QVERIFY(com20->isChecked());
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages.front(), QString("Com opening error!"));
        int ticked = 0;
        for (QAction* a : com->actions()) {
            ticked += a->isChecked();
        }
        QCOMPARE(ticked, 1);
    }

    void framesTravelThroughARealPseudoTerminal() {
        Pty pty;
        QVERIFY(pty.ok());
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        w->findChild<QTimer*>("Timer1")->stop();
        QVERIFY(w->serialPort().isOpen());

        // Tool to unit: one monitor request, 102 bytes.
        QVERIFY(w->link().SendMonitorRequest());
        const auto request = pty.read(FRAME_SIZE, 2000);
        QCOMPARE(request.size(), FRAME_SIZE);
        QCOMPARE(request.front(), std::uint8_t{0x30});
        QCOMPARE(request.back(), std::uint8_t{0xCF});

        // Unit to tool: a reply split in two writes arrives whole.
        std::array<std::uint8_t, BLOCK_SIZE> data{};
        data.fill(0x5A);
        const Frame reply = MakeFrame(0xC3, data);
        auto bytes = bytesOf(reply);
        QVERIFY(pty.write({bytes.begin(), bytes.begin() + 60}));
        QTest::qWait(30);
        QVERIFY(pty.write({bytes.begin() + 60, bytes.end()}));
        zentrova::testing::RecordingSink sink;
        QTRY_VERIFY_WITH_TIMEOUT(w->serialPort().queuedBytes().value_or(0) >= FRAME_SIZE, 2000);
        QVERIFY(w->link().PollReply(sink));
        QCOMPARE(sink.blocks.size(), std::size_t{1});
        QCOMPARE(sink.blocks.front(), reply);
    }

    void staleInputBeforeOpeningIsDiscarded() {
        Pty pty;
        auto stale = bytesOf(MakeFrame(0xB0, std::array<std::uint8_t, BLOCK_SIZE>{}));
        QVERIFY(pty.write(stale));
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QTest::qWait(100);
        QCOMPARE(w->serialPort().queuedBytes().value_or(99), std::size_t{0});
    }

    void deviceHangingUpClosesThePortOnceAndTheWindowStaysResponsive() {
        auto pty = std::make_unique<Pty>();
        auto w = makeWindow({"--port", QString::fromStdString(pty->path())});
        w->show();
        QVERIFY(w->serialPort().isOpen());
        QSignalSpy closed(&w->serialPort(), &QtSerialPort::closedOnError);
        pty->closeMaster();
        // Ask for data so the hang-up surfaces even if no notifier fires.
        w->link().SendMonitorRequest();
        QTRY_VERIFY_WITH_TIMEOUT(!w->serialPort().isOpen(), 3000);
        // Give a flood time to happen: there must be none.
        QElapsedTimer t;
        t.start();
        int ticks = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] { ++ticks; });
        probe.start(10);
        while (t.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        QVERIFY2(ticks > 20, "event loop starved");
        QCOMPARE(w->serialPort().closedOnErrorCount(), 1);
        QVERIFY(closed.size() <= 1);
        QVERIFY(dialogs_.messages.isEmpty());
        // Picking the port again reopens nothing that is gone, with the usual message.
        w->OpenPort();
        QCOMPARE(dialogs_.messages.size(), 1);
    }

    void testModeFollowsTheMarkerFile() {
        struct Case {
            QByteArray content;
            bool testMode;
        } cases[] = {
            {"first line\nsecond DIAG_SHOWUP words\nthird\n", true},
            {"diag_showup", false},
            {QByteArray(10000, 'W') + "\nDIAG_SHOWUP", true},
            {QByteArray(10000, 'W'), false},
        };
        Pty pty;
        for (const auto& c : cases) {
            writeMarker(c.content);
            auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
            QCOMPARE(w->state().TestMode, c.testMode);
            for (int i = 1; i <= 8; ++i) {
                auto* label = w->findChild<QLabel*>(QStringLiteral("LabelTest%1").arg(i));
                QCOMPARE(!label->isHidden(), c.testMode);
            }
        }
        removeMarker();
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        QVERIFY(!w->state().TestMode);
    }

    void closingTheWindowClosesThePort() {
        Pty pty;
        auto w = makeWindow({"--port", QString::fromStdString(pty.path())});
        w->show();
        QVERIFY(w->serialPort().isOpen());
        QVERIFY(w->close());
        QVERIFY(!w->serialPort().isOpen());
    }

    void unknownWordsAreIgnored() {
        Pty pty;
        auto w = makeWindow({"--frobnicate", "--port", QString::fromStdString(pty.path()), "x"});
        QVERIFY(w->serialPort().isOpen());
        QCOMPARE(w->state().LanguageIndex, 0);
        QVERIFY(dialogs_.messages.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
