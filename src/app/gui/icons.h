#pragma once

#include <QIcon>

namespace dm::gui {

// The program draws its own pictures, so the program folder needs no image files.
enum class Picture {
    New,
    Delete,
    Copy,
    Export,
    Upload,
    Download,
    SaveCard,
    LoadCard,
    Clear,
    Autofill,
    Refresh,
    Open,
    Create,
    Help,
    // page tabs
    GoodsPage,
    TicketPage,
    KeysPage,
    TotalsPage,
    SettingsPage
};

QIcon pictureIcon(Picture picture, int size);

} // namespace dm::gui
