// The window against the unit simulator over a real pseudo-terminal: the
// 55 ms timer, the serial port, the transfers and the live monitor together.
#include "CGauge.h"
#include "RecordingDialogs.h"
#include "TFormHlav.h"

#include "image/DefaultSet.h"
#include "image/Validate.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace zentrova;

namespace {

constexpr int TRANSFER_TIMEOUT_MS = 20000;

// zentrova-sim in a child process; it prints its device path first.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        process_.start(QStringLiteral(ZENTROVA_BINARY_DIR "/zentrova-sim"), args);
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000)) {
            device_ = QString::fromUtf8(process_.readLine()).trimmed();
        }
    }
    ~Simulator() { stop(); }
    const QString& device() const { return device_; }
    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
    }

private:
    QProcess process_;
    QString device_;
};

ParameterImage readRaw(const QString& path) {
    ParameterImage image;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = f.readAll();
        if (bytes.size() == static_cast<qsizetype>(IMAGE_SIZE)) {
            std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
        }
    }
    return image;
}

bool writeRaw(const QString& path, const ParameterImage& image) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(reinterpret_cast<const char*>(image.bytes.data()), IMAGE_SIZE) == IMAGE_SIZE;
}

// A valid parameter set unlike the start-up one: another bike, with its maps marked.
ParameterImage markedSet(std::uint8_t bike, std::uint8_t salt) {
    ParameterImage image;
    image[img::BIKE] = bike;
    bool choke = false;
    BuildDefaultSet(image, choke);
    for (std::size_t k = 0; k < img::MAP_LEN; ++k) {
        image[img::IGN + k] = static_cast<std::uint8_t>((k * 7 + salt) % 61);
        image[img::JET_14A + k] = static_cast<std::uint8_t>((k * 13 + salt) % 251);
    }
    image[1170] = salt; // a reserved byte travels too
    ValidateImage(image);
    return image;
}

bool sameParameters(const ParameterImage& a, const ParameterImage& b) {
    return std::equal(a.bytes.begin() + BLOCK_SIZE, a.bytes.end(), b.bytes.begin() + BLOCK_SIZE);
}

} // namespace

class TestWindowWithSimulator : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    RecordingDialogs dialogs_;

    std::unique_ptr<TFormHlav> window(const Simulator& sim) {
        dialogs_.messages.clear();
        StartOptions options = ParseCommandLine({"--port", sim.device()});
        options.dialogs = &dialogs_;
        auto w = std::make_unique<TFormHlav>(options);
        w->show();
        return w;
    }
    static QString status(TFormHlav& w) { return w.findChild<QLabel*>("LabelHlaseni")->text(); }
    static void click(TFormHlav& w, const char* button) {
        w.findChild<QPushButton*>(button)->click();
    }
    static bool idle(TFormHlav& w) { return w.engine().TransferMode == TransferMode::Monitor; }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    }

    void liveDataReplacesThePlaceholders() {
        Simulator sim({});
        QVERIFY(!sim.device().isEmpty());
        auto w = window(sim);
        auto* spojeni = w->findChild<QLabel*>("LabelSpojeni");
        QVERIFY(!spojeni->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(spojeni->isHidden(), 3000);
        auto* version = w->findChild<QLabel*>("LabelVersion");
        QVERIFY(!version->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(version->text(), QString("PC-47, IGN-47"), 3000);
        QVERIFY(w->findChild<QLabel*>("LabelRpm")->text().startsWith("RPM = "));
        QVERIFY(!w->findChild<QLabel*>("LabelMon_Jet_14A")->text().contains("---"));
        // The link goes quiet: after three missing replies the label is back.
        sim.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!spojeni->isHidden(), 5000);
    }

    void readBringsTheUnitsParametersAndIdentity() {
        const ParameterImage unitSet = markedSet(20, 3);
        const QString imageFile = dir_.path() + "/unit.bin";
        const QString dumpFile = dir_.path() + "/dump-read.bin";
        QVERIFY(writeRaw(imageFile, unitSet));
        Simulator sim({"--image", imageFile, "--dump", dumpFile});
        auto w = window(sim);
        QVERIFY(!sameParameters(w->state().image, unitSet));
        click(*w, "ButtonRead");
        QCOMPARE(status(*w), QString("Read:"));
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Verify: OK"), TRANSFER_TIMEOUT_MS);
        QVERIFY(idle(*w));
        QVERIFY(sameParameters(w->state().image, unitSet));
        QVERIFY(w->findChild<QLabel*>("LabelFile2")->text().isEmpty());
        QCOMPARE(w->findChild<QLabel*>("LabelVerze1")->text(), QString("Sim01"));
        sim.stop();
        const ParameterImage unitMemory = readRaw(dumpFile);
        QVERIFY(std::equal(unitMemory.bytes.begin(), unitMemory.bytes.begin() + BLOCK_SIZE,
                           w->state().image.bytes.begin()));
        QVERIFY(dialogs_.messages.isEmpty());
    }

    void programLandsInTheUnitAndIsVerified() {
        const QString dumpFile = dir_.path() + "/dump-program.bin";
        Simulator sim({"--dump", dumpFile, "--save-ms", "3000"});
        auto w = window(sim);
        const ParameterImage set = markedSet(12, 9);
        std::copy(set.bytes.begin() + BLOCK_SIZE, set.bytes.end(),
                  w->state().image.bytes.begin() + BLOCK_SIZE);
        click(*w, "ButtonProgram");
        QCOMPARE(status(*w), QString("Program device:"));
        // While the unit stores the data the status reads "Saving:", then the success text.
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Saving:"), TRANSFER_TIMEOUT_MS);
        QCOMPARE(w->findChild<CGauge*>("CGaugeProgram")->maxValue(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Program device: OK"), 5000);
        QVERIFY(idle(*w));
        sim.stop();
        QVERIFY(sameParameters(readRaw(dumpFile), set));
        QVERIFY(dialogs_.messages.isEmpty());
    }

    void verifyAgreesWithTheUnitAndNoticesADifference() {
        Simulator sim({});
        auto w = window(sim);
        // A fresh unit holds the start-up default set, as does a fresh window.
        click(*w, "ButtonVerify");
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Verify: OK"), TRANSFER_TIMEOUT_MS);
        w->state().image[img::JET_B + 20] ^= 1;
        click(*w, "ButtonVerify");
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Verify error!"), TRANSFER_TIMEOUT_MS);
        QVERIFY(idle(*w));
    }

    void aSilentUnitEndsTheReadInAnErrorAndKeepsTheParameters() {
        Simulator sim({"--silent"});
        auto w = window(sim);
        const ParameterImage before = w->state().image;
        click(*w, "ButtonRead");
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Read error!"), TRANSFER_TIMEOUT_MS);
        QVERIFY(idle(*w));
        QVERIFY(sameParameters(w->state().image, before));
        QVERIFY(!w->findChild<QLabel*>("LabelSpojeni")->isHidden());
    }

    void anotherFirmwareVersionStopsTheReadWithTheMessage() {
        Simulator sim({"--version", "46"});
        auto w = window(sim);
        auto* version = w->findChild<QLabel*>("LabelVersion");
        QTRY_COMPARE_WITH_TIMEOUT(
            version->text(),
            QString("Unmatched version of PC and Ignition programs!  PC-47, IGN-46"), 3000);
        click(*w, "ButtonRead");
        QTRY_COMPARE_WITH_TIMEOUT(dialogs_.messages.size(), 1, TRANSFER_TIMEOUT_MS);
        QCOMPARE(dialogs_.messages.front(),
                 QString("Unmatched version of PC and Ignition programs!  PC-47, IGN-46"));
        QVERIFY(idle(*w));
        QCOMPARE(w->state().image[img::UNIT_VERSION], 46);
    }

    void lostAndDamagedRepliesAreResent() {
        const QString dumpFile = dir_.path() + "/dump-faults.bin";
        const ParameterImage unitSet = markedSet(27, 5);
        const QString imageFile = dir_.path() + "/faulty-unit.bin";
        QVERIFY(writeRaw(imageFile, unitSet));
        Simulator sim({"--image", imageFile, "--drop", "0.1", "--corrupt", "0.05", "--seed", "7",
                       "--dump", dumpFile, "--save-ms", "200"});
        auto w = window(sim);
        click(*w, "ButtonRead");
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Verify: OK"), TRANSFER_TIMEOUT_MS);
        QVERIFY(sameParameters(w->state().image, unitSet));

        const ParameterImage set = markedSet(27, 11);
        std::copy(set.bytes.begin() + BLOCK_SIZE, set.bytes.end(),
                  w->state().image.bytes.begin() + BLOCK_SIZE);
        click(*w, "ButtonProgram");
        QTRY_COMPARE_WITH_TIMEOUT(status(*w), QString("Program device: OK"), TRANSFER_TIMEOUT_MS);
        // The unit counts what it dropped and damaged in its diagnostic values 3 and 4.
        auto count = [&](const char* label) {
            return w->findChild<QLabel*>(label)->text().section('=', 1).trimmed().toInt();
        };
        QTRY_VERIFY_WITH_TIMEOUT(count("LabelTest3") + count("LabelTest4") > 0, 3000);
        sim.stop();
        QVERIFY(sameParameters(readRaw(dumpFile), set));
    }
};

QTEST_MAIN(TestWindowWithSimulator)
#include "test_window_with_simulator.moc"
