#pragma once

#include "comm/transfersink.h"

namespace dm {
class TMessagePanel;
}

namespace dm::gui {

// The transfer runs' messages in the message panel, with its progress bar; each notice
// goes through MessageLines as every other caller of the panel does.
class PanelSink final : public TransferSink {
public:
    explicit PanelSink(TMessagePanel& panel) : m_panel(panel) {}

    void showMessage(const QStringList& lines, QRgb colour) override;
    void showTroubleshooting(const QStringList& lines) override;
    void hideMessage() override;
    void showProgress() override;
    void setProgressTotal(int total) override;
    void setProgressDone(int done) override;
    void hideProgress() override;
    void processEvents() override;

private:
    TMessagePanel& m_panel;
};

} // namespace dm::gui
