#include "ui/StopRequests.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "core/Job.h"
#include "formats/native/LegacySet.h"
#include "platform/Messages.h"
#include "settings/SavedSettings.h"
#include "ui/ConvertWindow.h"
#include "ui/GuiMessageSink.h"
#include "ui/MainWindow.h"
#include "ui/ProgressWindow.h"
#include "ui/Seams.h"

StopRequests::StopRequests(MainWindow& main, ProgressWindow& processing, ConvertWindow& convert,
                           std::function<void(int status)> quit, bool watchSignals)
    : main_(main), processing_(processing), convert_(convert), quit_(std::move(quit)) {
    idle_.setInterval(20);
    connect(&idle_, &QTimer::timeout, this, &StopRequests::QuitOnceIdle);
    // The watcher's thread only hands the signal to the UI thread.
    if (watchSignals)
        signals_.emplace([this](int signal) {
            QMetaObject::invokeMethod(
                this, [this, signal] { Stop(signal); }, Qt::QueuedConnection);
        });
}

void StopRequests::Stop(int signal) {
    if (signal_ != 0) return;
    signal_ = signal;
    // Nobody is there to read a box any more; the messages that a box would
    // hold a worker for go to stderr, where a session keeps them.
    if (auto* boxes = dynamic_cast<GuiMessageSink*>(platform::CurrentMessageSink()))
        boxes->HandOver();
    if (Job* job = processing_.job()) job->Cancel();
    if (convert_.Converting() && convert_.job) convert_.job->Cancel();
    // The question and the boxes on screen, the file dialogs and the settings
    // are closed as their "Non", "OK" or "Fermer" would.
    Questions::CloseOpenQuestion();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window);
            dialog != nullptr && dialog->isVisible() &&
            (qobject_cast<QMessageBox*>(dialog) || qobject_cast<QFileDialog*>(dialog) ||
             dialog->objectName() == "frmParam"))
            dialog->reject();
    idle_.start();
    QuitOnceIdle();
}

void StopRequests::QuitOnceIdle() {
    // A cancelled job closes its window once it has taken back its files.
    if (processing_.job() != nullptr || convert_.Converting()) return;
    idle_.stop();
    main_.params->SaveSettings();
    quit_(platform::StopSignals::ExitStatus(signal_));
}
