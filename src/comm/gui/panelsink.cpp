#include "comm/gui/panelsink.h"

#include "app/gui/messagepanel.h"
#include "app/shellstate.h"

#include <QCoreApplication>

namespace dm::gui {

void PanelSink::showMessage(const QStringList& lines, QRgb colour) {
    QStringList& queued = shell().MessageLines;
    queued.append(lines);
    m_panel.ShowMessagePanel(100, 50, QColor(colour), QColor(panelcolour::Text),
                             PanelAlignment::Centre, false, queued);
}

void PanelSink::showTroubleshooting(const QStringList& lines) {
    QStringList& queued = shell().MessageLines;
    queued.append(lines);
    m_panel.ShowMessagePanel(100, 50, QColor(panelcolour::Pink), QColor(panelcolour::Text),
                             PanelAlignment::Left, true, queued);
    m_panel.hidePanel();
}

void PanelSink::hideMessage() {
    m_panel.hidePanel();
}

void PanelSink::showProgress() {
    m_panel.placeProgressBar();
}

void PanelSink::setProgressTotal(int total) {
    m_panel.setProgressTotal(total);
}

void PanelSink::setProgressDone(int done) {
    m_panel.setProgressDone(done);
}

void PanelSink::hideProgress() {
    m_panel.hideProgressBar();
}

void PanelSink::processEvents() {
    QCoreApplication::processEvents();
}

} // namespace dm::gui
