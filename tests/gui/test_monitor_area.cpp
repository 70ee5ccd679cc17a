// The monitor area: designed places, and live frames arriving on a real
// pseudo-terminal rendered into labels and gauges.
#include "CGauge.h"
#include "Pty.h"
#include "RecordingDialogs.h"
#include "Render.h"
#include "TFormHlav.h"

#include "unit/MonitorEncoding.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace zentrova;

class TestMonitorArea : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    RecordingDialogs dialogs_;
    std::unique_ptr<Pty> pty_;
    std::unique_ptr<TFormHlav> w_;
    std::uint16_t serial_ = 0;

    QLabel* label(const char* name) { return w_->findChild<QLabel*>(name); }
    CGauge* gauge(const char* name) { return w_->findChild<CGauge*>(name); }

    // Sends one frame as the unit would and waits until the window has taken it.
    void deliver(MonitorFrame f) {
        f.Test8 = ++serial_; // tells this frame from the last one
        const Frame bytes = EncodeMonitorFrame(f);
        QVERIFY(pty_->write({bytes.begin(), bytes.end()}));
        QTRY_COMPARE_WITH_TIMEOUT(label("LabelTest8")->text(),
                                  QStringLiteral("Test8= %1").arg(serial_), 3000);
    }

private slots:
    void init() {
        QVERIFY(home_.isValid());
        qputenv("XDG_CONFIG_HOME", home_.path().toUtf8());
        pty_ = std::make_unique<Pty>();
        QVERIFY(pty_->ok());
        StartOptions options = ParseCommandLine({"--port", QString::fromStdString(pty_->path())});
        options.dialogs = &dialogs_;
        w_ = std::make_unique<TFormHlav>(options);
        w_->show();
    }
    void cleanup() {
        w_.reset();
        pty_.reset();
    }

    void controlsSitAtTheirDesignedPlaces() {
        struct Place {
            const char* name;
            int x, y;
        } places[] = {
            {"LabelRpm", 12, 486},          {"CGaugeRpm", 13, 509},
            {"LabelTpsMon", 12, 532},       {"CGaugeLambda", 13, 601},
            {"LabelVoda", 260, 486},        {"LabelGear", 260, 690},
            {"LabelMon_Jet_14A", 504, 486}, {"CGaugeDuty", 504, 598},
            {"LabelN2oEnable", 504, 666},   {"LabelServoPoz", 752, 510},
            {"LabelClazeniMon", 752, 690},  {"LabelEeDataErr", 13, 697},
            {"LabelTest1", 16, 726},        {"LabelTest8", 864, 726},
            {"LabelHlaseni", 13, 647},      {"CGaugeProgram", 13, 671},
            {"LabelSpojeni", 492, 6},       {"LabelVersion", 492, 6},
        };
        for (const auto& p : places) {
            auto* widget = w_->findChild<QWidget*>(p.name);
            QVERIFY2(widget != nullptr, p.name);
            QCOMPARE(widget->pos(), QPoint(p.x, p.y));
        }
        QCOMPARE(gauge("CGaugeDuty")->width(), 213);
        QCOMPARE(gauge("CGaugeRpm")->size(), QSize(220, 15));
    }

    void framesAreRenderedAsTheyArrive() {
        w_->state().image[img::LIMITER_IGN] = 150;
        w_->state().image[img::N2O_ENABLE] = 0;
        MonitorFrame f;
        f.RpmFlag1 = 1;
        f.RpmFlag2 = 1;
        f.FirmwareVersion = 47;
        f.TwByte = 0; // sensor error
        f.AtByte = 125;
        f.Inj14A = 500;
        f.Rpm = 10000;
        f.N2oOn = 1;
        f.DataError = 1;
        f.Test1 = 5;
        deliver(f);
        QCOMPARE(label("LabelRpm")->text(), QString("RPM = 10000 "));
        QCOMPARE(LabelBackground(label("LabelRpm")), QColor(255, 0, 0));
        QCOMPARE(gauge("CGaugeRpm")->position(), 66);
        QCOMPARE(label("LabelVoda")->text(), QString("TW = error"));
        QCOMPARE(gauge("CGaugeVoda")->position(), 80);
        QCOMPARE(gauge("CGaugeVoda")->barColor(), QColor(255, 0, 0));
        QCOMPARE(w_->state().live.TwByte, 180);
        QCOMPARE(gauge("CGaugeDuty")->barColor(), QColor(255, 255, 0)); // duty 125
        QCOMPARE(label("LabelTest1")->text(), QString("Test1= 5"));
        QVERIFY(!label("LabelEeDataErr")->isHidden());
        QVERIFY(label("LabelN2oEnable")->isHidden()); // N2O not enabled: hidden, still written
        QCOMPARE(label("LabelN2oEnable")->text(), QString("N2O - YES"));
        QCOMPARE(label("LabelVersion")->text(), QString("PC-47, IGN-47"));
        QTRY_VERIFY_WITH_TIMEOUT(label("LabelSpojeni")->isHidden(), 1000);
        QVERIFY(!label("LabelVersion")->isHidden());

        w_->state().image[img::N2O_ENABLE] = 1;
        f.RpmFlag2 = 0;
        f.DataError = 0;
        f.FirmwareVersion = 45;
        f.TwByte = 90;
        deliver(f);
        QCOMPARE(LabelBackground(label("LabelRpm")), QColor(255, 0, 255));
        QCOMPARE(label("LabelVoda")->text(), QString("TW= -10 °C"));
        QVERIFY(!LabelBackground(label("LabelVoda")).isValid()); // back to normal
        QVERIFY(label("LabelEeDataErr")->isHidden());
        QVERIFY(!label("LabelN2oEnable")->isHidden());
        QCOMPARE(label("LabelVersion")->text(),
                 QString("Unmatched version of PC and Ignition programs!  PC-47, IGN-45"));
        QCOMPARE(LabelBackground(label("LabelVersion")), QColor(255, 0, 0));
    }

    void aDamagedFrameChangesNothing() {
        MonitorFrame f;
        f.Rpm = 1234;
        f.FirmwareVersion = 47;
        deliver(f);
        Frame bad = EncodeMonitorFrame([] {
            MonitorFrame g;
            g.Rpm = 4321;
            return g;
        }());
        bad[10] ^= 0x40;
        QVERIFY(pty_->write({bad.begin(), bad.end()}));
        QTest::qWait(300);
        QCOMPARE(label("LabelRpm")->text(), QString("RPM = 1234 "));
        QCOMPARE(w_->state().live.Rpm, 1234);
    }
};

QTEST_MAIN(TestMonitorArea)
#include "test_monitor_area.moc"
