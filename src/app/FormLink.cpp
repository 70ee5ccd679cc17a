// The window side of the link: commands, the transfer status display and
// the live monitor area.
#include "CGauge.h"
#include "Dialogs.h"
#include "Render.h"
#include "TFormHlav.h"

#include "link/LinkSession.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace zentrova;

namespace {
QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

void TFormHlav::ConnectCommands() {
    struct Command {
        const char* button;
        const char* menuItem;
        void (TransferEngine::*handler)();
    } commands[] = {
        {"ButtonRead", "MenuRead", &TransferEngine::MenuReadClick},
        {"ButtonVerify", "MenuVerify", &TransferEngine::MenuVerifyClick},
        {"ButtonProgram", "MenuProgram", &TransferEngine::MenuProgramClick},
    };
    for (const auto& c : commands) {
        auto run = [this, h = c.handler] { ((*engine_).*h)(); };
        auto* button = findChild<QPushButton*>(QString::fromLatin1(c.button));
        button->setEnabled(true);
        connect(button, &QPushButton::clicked, this, run);
        auto* item = findChild<QAction*>(QString::fromLatin1(c.menuItem));
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, run);
    }
}

void TFormHlav::CreateOtherPageControls() {
    QWidget* other = PageControl1->widget(7);
    CheckBoxExtMonitor = new QCheckBox(QStringLiteral("Detailed representation"), other);
    CheckBoxExtMonitor->setObjectName(QStringLiteral("CheckBoxExtMonitor"));
    CheckBoxExtMonitor->setGeometry(16, 377, 217, 17);
    struct Place {
        const char* name;
        int y;
        const char* hint;
    } verze[] = {
        {"LabelVerze1", 325, "Version of program in ignition"},
        {"LabelVerze2", 267, "Date of program in ignition"},
        {"LabelVerze3", 296, "Time of program in ignition"},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        auto* l = new QLabel(other);
        l->setObjectName(QString::fromLatin1(verze[i].name));
        l->setGeometry(280, verze[i].y, 240, 17);
        l->setToolTip(QString::fromLatin1(verze[i].hint));
        l->setStatusTip(l->toolTip());
        LabelVerze[i] = l;
    }
    auto* file1 = new QLabel(QStringLiteral("File:"), other);
    file1->setObjectName(QStringLiteral("LabelFile1"));
    file1->setGeometry(280, 387, 60, 17);
    LabelFile2 = new QLabel(other);
    LabelFile2->setObjectName(QStringLiteral("LabelFile2"));
    LabelFile2->setGeometry(346, 387, 600, 17);
}

void TFormHlav::CommitActivePage() {}

void TFormHlav::ShowActivePage() {
    const TransferEngine& e = *engine_;
    LabelVerze[0]->setText(QString::fromStdString(e.UnitVersionText));
    LabelVerze[1]->setText(QString::fromStdString(e.UnitDateText));
    LabelVerze[2]->setText(QString::fromStdString(e.UnitTimeText));
}

void TFormHlav::ShowMessage(const std::string& text) {
    dialogs_->Message(this, QString::fromStdString(text));
}

void TFormHlav::ClearFileName() {
    LabelFile2->clear();
}

void TFormHlav::StatusChanged(const TransferStatus& status) {
    RenderTransferStatus(status);
}

void TFormHlav::RenderTransferStatus(const TransferStatus& s) {
    LabelHlaseni->setText(QString::fromStdString(s.text));
    SetLabelColour(LabelHlaseni, s.red ? MonitorColour::Red : MonitorColour::Normal);
    LabelHlaseni->setVisible(s.textVisible);
    CGaugeProgram->setMaxValue(s.gaugeMax);
    CGaugeProgram->setPosition(s.gaugePosition);
    CGaugeProgram->setVisible(s.gaugeVisible);
    LabelSpojeni->setVisible(s.connectionLabelVisible);
    LabelVersion->setVisible(s.versionLabelVisible);
}

void TFormHlav::OnMonitorFrame(FrameView frame) {
    MonitorView view;
    if (DecodeMonitorForEngine(frame, state_, messages_, CheckBoxExtMonitor->isChecked(), *engine_,
                               view)) {
        RenderMonitorView(view);
        // The display rules of the editor pages run here once they exist.
    }
}

void TFormHlav::RenderMonitorView(const MonitorView& view) {
    for (const LabelUpdate& u : view.labels) {
        auto* label = findChild<QLabel*>(qs(u.name));
        if (label == nullptr) {
            continue;
        }
        if (u.text) {
            label->setText(QString::fromStdString(*u.text));
        }
        if (u.colour) {
            SetLabelColour(label, *u.colour);
        }
        if (u.visible) {
            label->setVisible(*u.visible);
        }
    }
    for (const GaugeUpdate& u : view.gauges) {
        auto* gauge = findChild<CGauge*>(qs(u.name));
        if (gauge == nullptr) {
            continue;
        }
        if (u.position) {
            gauge->setPosition(*u.position);
        }
        if (u.colour) {
            gauge->setBarColor(ColourOf(*u.colour));
        }
    }
}
