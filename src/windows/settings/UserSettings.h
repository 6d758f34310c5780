#pragma once

#include <QString>

#include <vector>

class QWidget;

// User and workstation settings, kept per user under "Halvgard/Tessund": the group "Setting" holds
// string values (LANGUAGE, SHOWHINTS, CustomersVisible, PrinterName, ...), the group "WindowState" the
// placement of each window class (16 bytes: left, top, width, height as little-endian int32) and the
// widths of grid columns (integers named grid_FIELD). A store that cannot be read gives empty values;
// one that cannot be written is silently left as it is.
class TRegSettings {
public:
    // The string value of that name under "Setting"; empty when missing.
    QString ReadSetting(const QString &name) const;
    void WriteSetting(const QString &name, const QString &text);

    // Language := LANGUAGE as a whole number (0: built-in texts); ShowHints := SHOWHINTS is not "0".
    void LoadUserSettings();
    // Whether the store can be written; when not, `reason` names it.
    bool isWritable(QString *reason = nullptr) const;
    // Writes a changed language (and switches to its module when there is one) and the tool tip switch,
    // and applies the tool tip switch at once. A store that cannot take them throws Error, with nothing
    // switched.
    void SaveUserSettings();

    int Language() const { return m_language; }
    void setLanguage(int language) { m_language = language; }
    bool ShowHints() const { return m_showHints; }
    void setShowHints(bool showHints) { m_showHints = showHints; }

    // Placement and visible grid column widths of a window, per window class. A window that sits in a
    // child frame of the main window is placed within the main window's client area. Nothing is saved
    // while the window is minimised or maximised; a saved placement off every screen is not restored.
    void RestoreWindowState(QWidget *window) const;
    void SaveWindowState(QWidget *window);

private:
    int m_language = 0;
    bool m_showHints = true;
};

// The one store of user settings.
TRegSettings &RegSettings();

// Language modules: a translation file among the program's files (programResourceFile), named like the
// executable with the locale's three-letter language name as extension (tessund.NOR for 1044), or else the
// first two letters.
// Returns whether one was loaded; a loaded module replaces the one before it.
bool LoadLanguageModule(int locale);
// Goes back to the built-in texts (as at the next start).
void UnloadLanguageModule();
// Every open window re-reads its texts from the module now in use.
void ReloadAllForms();
// The three-letter language name of a locale identifier (NOR for 1044, ENU for 1033); empty if unknown.
QString abbreviatedLanguageName(int locale);
// The executable whose name language modules follow; the running program's by default.
void setProgramFile(const QString &path);
QString programFile();
// Where a file that comes with the program (a language module, the help file) lies: beside the executable
// (the build, a portable copy), or else in share/tessund/ beside the executable's bin/ folder (an installed
// copy). A file found in neither place is named beside the executable.
QString programResourceFile(const QString &fileName);
// The installed copy's folder of those files: ../share/tessund from the executable's folder.
QString installedResourceFolder(const QString &programFolder);
