#include "UserSettings.h"

#include "LanguageModule.h"
#include "core/DataSet.h"
#include "core/DataSetModel.h"
#include "core/Errors.h"
#include "core/Field.h"
#include "widgets/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QLocale>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTranslator>
#include <QtEndian>

#include <memory>

namespace {

const QString SettingGroup = QStringLiteral("Setting");
const QString WindowStateGroup = QStringLiteral("WindowState");

// Each use opens the store afresh, so that a test (or a second window) always sees what was written.
std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(QStringLiteral("Halvgard"), QStringLiteral("Tessund"));
}

QString unwritable(const QSettings &store)
{
    return QCoreApplication::translate("TRegSettings", "The user settings cannot be written to %1")
        .arg(QDir::toNativeSeparators(store.fileName()));
}

// The widget whose geometry is the window's placement: the child frame for a window in the main window.
QWidget *placementOf(QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        return frame;
    return window;
}

bool reachable(const QRect &placement)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(placement);
        if (seen.width() >= 20 && seen.height() >= 20)
            return true;
    }
    return false;
}

// Calls f(view, section, valueName) for every visible column of every data grid on the window.
template <class F> void forEachGridColumn(QWidget *window, F f)
{
    const QList<QTableView *> grids = window->findChildren<QTableView *>();
    for (QTableView *grid : grids) {
        auto *model = qobject_cast<db::DataSetModel *>(grid->model());
        if (!model || grid->objectName().isEmpty())
            continue;
        for (int section = 0; section < model->columnCount(); ++section) {
            const db::Field *field = model->fieldAt(section);
            if (!field || grid->isColumnHidden(section))
                continue;
            f(grid, section, grid->objectName() + QLatin1Char('_') + field->name());
        }
    }
}

struct LanguageModule {
    QByteArray contents; // the translator reads from these bytes while it is installed
    std::unique_ptr<QTranslator> translator;
};

LanguageModule &currentModule()
{
    static LanguageModule module;
    return module;
}

QString &programFileOverride()
{
    static QString path;
    return path;
}

int storedInteger(const QString &text, int otherwise)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : otherwise;
}

} // namespace

// --- TRegSettings ---

QString TRegSettings::ReadSetting(const QString &name) const
{
    return openStore()->value(SettingGroup + QLatin1Char('/') + name).toString();
}

void TRegSettings::WriteSetting(const QString &name, const QString &text)
{
    openStore()->setValue(SettingGroup + QLatin1Char('/') + name, text);
}

bool TRegSettings::isWritable(QString *reason) const
{
    const auto store = openStore();
    if (store->isWritable() && store->status() == QSettings::NoError)
        return true;
    if (reason)
        *reason = unwritable(*store);
    return false;
}

void TRegSettings::LoadUserSettings()
{
    m_language = storedInteger(ReadSetting(QStringLiteral("LANGUAGE")), 0);
    m_showHints = ReadSetting(QStringLiteral("SHOWHINTS")) != QLatin1String("0");
}

void TRegSettings::SaveUserSettings()
{
    const bool newLanguage = m_language != 0 && m_language != storedInteger(ReadSetting(QStringLiteral("LANGUAGE")), 0);
    {
        // Both values go to the file together; a file that cannot take them is told, and nothing switches.
        const auto store = openStore();
        if (newLanguage)
            store->setValue(SettingGroup + QStringLiteral("/LANGUAGE"), QString::number(m_language));
        store->setValue(SettingGroup + QStringLiteral("/SHOWHINTS"),
                        m_showHints ? QStringLiteral("1") : QStringLiteral("0"));
        store->sync();
        if (store->status() != QSettings::NoError)
            throw Error(unwritable(*store));
    }
    if (newLanguage && LoadLanguageModule(m_language))
        ReloadAllForms();
    setToolTipsEnabled(m_showHints);
}

void TRegSettings::RestoreWindowState(QWidget *window) const
{
    auto store = openStore();
    if (!store->childGroups().contains(WindowStateGroup))
        return;
    store->beginGroup(WindowStateGroup);
    const QByteArray placement = store->value(QString::fromLatin1(window->metaObject()->className())).toByteArray();
    if (placement.size() != 16)
        return;
    const auto *bytes = reinterpret_cast<const uchar *>(placement.constData());
    const QRect rect(qFromLittleEndian<qint32>(bytes), qFromLittleEndian<qint32>(bytes + 4),
                     qFromLittleEndian<qint32>(bytes + 8), qFromLittleEndian<qint32>(bytes + 12));
    QWidget *target = placementOf(window);
    // A placement of no size, or one the user could not reach on any screen, keeps the designed one.
    // A child frame takes no less than its contents need (a top-level window's layout sees to that itself).
    if (rect.width() > 0 && rect.height() > 0 && (target != window || reachable(rect)))
        target->setGeometry(target != window ? QRect(rect.topLeft(), rect.size().expandedTo(target->minimumSizeHint()))
                                             : rect);

    forEachGridColumn(window, [&](QTableView *grid, int section, const QString &name) {
        bool ok = false;
        const int width = store->value(name).toInt(&ok);
        if (ok && width > 0)
            grid->setColumnWidth(section, width);
    });
}

void TRegSettings::SaveWindowState(QWidget *window)
{
    const QWidget *target = placementOf(window);
    if (target->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        return;
    auto store = openStore();
    store->beginGroup(WindowStateGroup);
    const QRect rect = target->geometry();
    QByteArray placement(16, '\0');
    auto *bytes = reinterpret_cast<uchar *>(placement.data());
    qToLittleEndian<qint32>(rect.x(), bytes);
    qToLittleEndian<qint32>(rect.y(), bytes + 4);
    qToLittleEndian<qint32>(rect.width(), bytes + 8);
    qToLittleEndian<qint32>(rect.height(), bytes + 12);
    store->setValue(QString::fromLatin1(window->metaObject()->className()), placement);

    forEachGridColumn(window, [&](QTableView *grid, int section, const QString &name) {
        store->setValue(name, grid->columnWidth(section));
    });
}

TRegSettings &RegSettings()
{
    static TRegSettings store;
    return store;
}

// --- Language modules ---

QString abbreviatedLanguageName(int locale)
{
    static const QHash<int, QString> names = {
        {1025, "ARA"}, {1026, "BGR"}, {1027, "CAT"}, {1028, "CHT"}, {1029, "CSY"}, {1030, "DAN"}, {1031, "DEU"},
        {1032, "ELL"}, {1033, "ENU"}, {1034, "ESP"}, {1035, "FIN"}, {1036, "FRA"}, {1037, "HEB"}, {1038, "HUN"},
        {1039, "ISL"}, {1040, "ITA"}, {1041, "JPN"}, {1042, "KOR"}, {1043, "NLD"}, {1044, "NOR"}, {1045, "PLK"},
        {1046, "PTB"}, {1049, "RUS"}, {1053, "SVE"}, {1055, "TRK"}, {1061, "ETI"}, {1062, "LVI"}, {1063, "LTH"},
        {2052, "CHS"}, {2055, "DES"}, {2057, "ENG"}, {2068, "NON"}, {2070, "PTG"}, {3079, "DEA"}, {3081, "ENA"},
        {3082, "ESN"}, {3084, "FRC"}, {4105, "ENC"},
    };
    return names.value(locale);
}

void setProgramFile(const QString &path)
{
    programFileOverride() = path;
}

QString programFile()
{
    if (!programFileOverride().isEmpty())
        return programFileOverride();
    return QCoreApplication::applicationFilePath();
}

QString installedResourceFolder(const QString &programFolder)
{
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(QStringLiteral("../share/tessund")));
}

QString programResourceFile(const QString &fileName)
{
    const QFileInfo executable(programFile());
    const QString beside = executable.dir().filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(installedResourceFolder(executable.absolutePath())).filePath(fileName);
    return QFileInfo::exists(installed) ? installed : beside;
}

bool LoadLanguageModule(int locale)
{
    const QString language = abbreviatedLanguageName(locale);
    if (language.isEmpty())
        return false;
    const QString base = QFileInfo(programFile()).completeBaseName() + QLatin1Char('.');
    for (const QString &name : {QString(base + language), QString(base + language.left(2))}) {
        const QString candidate = programResourceFile(name);
        QFile file(candidate);
        if (!QFileInfo(candidate).isFile())
            continue;
        LanguageModule module;
        // A damaged module never reaches the translator, which would trust its offsets and could crash
        // every start: the program goes on with its built-in texts and says why on standard error.
        constexpr qint64 MaxSize = 16 * 1024 * 1024;
        QString problem;
        if (!file.open(QIODevice::ReadOnly)) {
            problem = file.errorString();
        } else if (file.size() > MaxSize) {
            problem = QStringLiteral("it is too large to be one");
        } else {
            module.contents = file.readAll();
            problem = languageModuleProblem(module.contents);
        }
        module.translator = std::make_unique<QTranslator>();
        if (problem.isEmpty() && !module.translator->load(reinterpret_cast<const uchar *>(module.contents.constData()),
                                                          int(module.contents.size())))
            problem = QStringLiteral("the translator does not take it");
        if (!problem.isEmpty()) {
            qWarning("The language module %s is not used, the built-in texts are: %s.",
                     qPrintable(QDir::toNativeSeparators(candidate)), qPrintable(problem));
            continue;
        }
        LanguageModule &current = currentModule();
        if (current.translator)
            QCoreApplication::removeTranslator(current.translator.get());
        current = std::move(module);
        QCoreApplication::installTranslator(current.translator.get());
        return true;
    }
    return false;
}

void UnloadLanguageModule()
{
    LanguageModule &current = currentModule();
    if (current.translator)
        QCoreApplication::removeTranslator(current.translator.get());
    current = LanguageModule();
}

void ReloadAllForms()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        QEvent event(QEvent::LanguageChange);
        QCoreApplication::sendEvent(window, &event);
    }
}
