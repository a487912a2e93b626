#pragma once

#include "app/messagepanelsize.h"

#include <QRgb>
#include <QString>
#include <QStringList>

namespace dm {

// Where a transfer run tells the user what it is doing: one-line notices on one of the
// three panel colours, the progress of the file being sent or received, and the
// troubleshooting list. The window's message panel is one sink, dmctl's printer another.
class TransferSink {
public:
    virtual ~TransferSink() = default;

    // A notice of one or more lines, centred, black on the colour (panelcolour::...);
    // it stays up until the next notice or hideMessage().
    virtual void showMessage(const QStringList& lines, QRgb colour) = 0;
    void showMessage(const QString& line, QRgb colour) { showMessage(QStringList{line}, colour); }
    // The troubleshooting list: left-aligned on pink, waiting until the user closes it;
    // hidden again when the call returns.
    virtual void showTroubleshooting(const QStringList& lines) = 0;
    virtual void hideMessage() = 0;

    // The progress bar of one file: shown with nothing done, then its total and the
    // blocks done, then hidden.
    virtual void showProgress() = 0;
    virtual void setProgressTotal(int total) = 0;
    virtual void setProgressDone(int done) = 0;
    virtual void hideProgress() = 0;

    // Lets the window run what is pending (repaints) in the middle of a blocking run.
    virtual void processEvents() {}
};

// The fixed pauses that keep each message readable. A run gets one pause object, so
// tests and dmctl run without them.
class TransferPauses {
public:
    virtual ~TransferPauses() = default;
    virtual void pause(int ms) = 0;
};

class NoPauses final : public TransferPauses {
public:
    void pause(int) override {}
};

// Sleeps the calling thread (dmctl --pauses).
class SleepingPauses final : public TransferPauses {
public:
    void pause(int ms) override;
};

// Waits while the thread's event loop runs, so a window keeps painting during a pause.
class EventLoopPauses final : public TransferPauses {
public:
    void pause(int ms) override;
};

} // namespace dm
