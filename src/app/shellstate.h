#pragma once

#include <QString>
#include <QStringList>

namespace dm {

// The process-wide state of the shell, touched on the user-interface thread only
// (ComPortList is complete before the discovery thread first reads it).
struct ShellState {
    QString CurrentDatabasePath;
    QString LanguageFolder; // program folder + Languages/ + name, no trailing separator
    QString LanguageName;
    QStringList ComPortList;  // "1".."9": the COM ports that opened at start-up
    QStringList MessageLines; // what the next ShowMessagePanel shows
    bool DataLoaded = false;
    QString TicketOperatorName;
};

ShellState& shell();

// Clears DataLoaded for a stretch of work and restores the value it had on every way
// out, exceptions included.
class DataLoadedPause {
public:
    DataLoadedPause() : m_was(shell().DataLoaded) { shell().DataLoaded = false; }
    ~DataLoadedPause() { shell().DataLoaded = m_was; }
    DataLoadedPause(const DataLoadedPause&) = delete;
    DataLoadedPause& operator=(const DataLoadedPause&) = delete;

private:
    bool m_was;
};

} // namespace dm
