#include "platform/HelpEngine.h"

#include "platform/HelpWindow.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpLink>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>

#ifndef KESTRAVA_DATA_FROM_BIN
#define KESTRAVA_DATA_FROM_BIN "../share/kestrava"
#endif

namespace {

QString file;
HelpProvider* current = nullptr;
QPointer<HelpEngine> fallback;

// Widgets must go before the application object does; post routines run while it still exists.
void dropFallback()
{
    delete fallback.data();
}

HelpProvider& defaultProvider()
{
    if (!fallback) {
        fallback = new HelpEngine;
        qAddPostRoutine(dropFallback);
    }
    return *fallback;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

namespace Help {

void setHelpFile(const QString& f)
{
    file = f;
}

QString helpFile()
{
    return file;
}

bool command(int cmd, qint64 data, QWidget* owner)
{
    return provider()->helpCommand(file, cmd, data, owner);
}

void setProvider(HelpProvider* provider)
{
    current = provider;
}

HelpProvider* provider()
{
    return current ? current : &defaultProvider();
}

} // namespace Help

HelpEngine::HelpEngine(const QString& collectionFolder, QObject* parent)
    : QObject(parent), m_collectionFolder(collectionFolder)
{}

HelpEngine::~HelpEngine()
{
    tearDown();
}

QWidget* HelpEngine::window() const
{
    return m_window.get();
}

QString HelpEngine::locate(const QString& helpFile)
{
    if (helpFile.isEmpty())
        return {};
    const QFileInfo info(helpFile);
    if (info.isFile())
        return info.absoluteFilePath();

    // The help file is set beside the executable; an installed copy keeps it in the data folder.
    const QString dataFolder = QStringLiteral(KESTRAVA_DATA_FROM_BIN);
    const QFileInfo installed(QDir::cleanPath(info.absolutePath() + QLatin1Char('/') + dataFolder +
                                              QLatin1Char('/') + info.fileName()));
    if (installed.isFile())
        return installed.absoluteFilePath();
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                  QFileInfo(dataFolder).fileName() + QLatin1Char('/') +
                                      info.fileName());
}

bool HelpEngine::helpCommand(const QString& helpFile, int command, qint64 data, QWidget* owner)
{
    using namespace HelpCommand;
    if (command == Quit) {
        if (m_window)
            m_window->close();
        return true;
    }
    if (command != Contents && command != PartialKey && command != HelpOnHelp && command != Context)
        return false;

    const bool ready = open(helpFile);
    present(owner);
    if (!ready) {
        m_window->showProblem(m_problemTitle, m_problem);
        return false;
    }

    switch (command) {
    case Contents:
        m_window->showContents();
        return true;
    case PartialKey:
        m_window->showIndex();
        return true;
    case HelpOnHelp:
        return showIdentifier(
            helpOnHelpId(),
            tr("The help file %1 has no topic on how to use help.").arg(shown(m_file)));
    default:
        return showIdentifier(QString::number(data),
                              tr("The help file %1 has no topic %2.").arg(shown(m_file)).arg(data));
    }
}

bool HelpEngine::open(const QString& helpFile)
{
    if (m_window && m_engine && helpFile == m_file)
        return true;

    // A file that could not be opened is tried again: it may have been put in place meanwhile.
    QRect geometry;
    if (m_window && m_placed)
        geometry = m_window->geometry();
    tearDown();
    m_file = helpFile;
    m_problem.clear();

    const QString documentation = locate(helpFile);
    if (helpFile.isEmpty()) {
        m_problemTitle = tr("Help file not found");
        m_problem = tr("No help file has been given.");
    } else if (documentation.isEmpty()) {
        m_problemTitle = tr("Help file not found");
        m_problem = tr("The help file %1 cannot be found.").arg(shown(helpFile));
    } else if (QHelpEngineCore::namespaceName(documentation).isEmpty()) {
        m_problemTitle = tr("Help file cannot be opened");
        m_problem = tr("The help file %1 cannot be opened. It is damaged or it is not a help file.")
                        .arg(shown(documentation));
    } else {
        const QString collection = collectionFile(documentation);
        QDir().mkpath(QFileInfo(collection).absolutePath());
        // A fresh collection each time, so that a rebuilt or replaced help file is read anew.
        QFile::remove(collection);
        m_engine = std::make_unique<QHelpEngine>(collection);
        m_engine->setReadOnly(false);
        if (!m_engine->setupData() || !m_engine->registerDocumentation(documentation)) {
            m_problemTitle = tr("Help file cannot be opened");
            m_problem = tr("The help file %1 cannot be opened: %2")
                            .arg(shown(documentation), m_engine->error());
            m_engine.reset();
        }
    }

    m_window = std::make_unique<HelpWindow>(m_engine.get());
    if (geometry.isValid()) {
        m_window->setGeometry(geometry);
        m_placed = true;
    } else {
        m_placed = false;
    }
    return m_engine != nullptr;
}

void HelpEngine::tearDown()
{
    m_engine.reset();
    m_window.reset();
}

void HelpEngine::present(QWidget* owner)
{
    if (!m_placed && owner) {
        // First showing: centred on the screen of the window that asked.
        QWidget* top = owner->window();
        if (QScreen* screen = top->screen()) {
            QRect frame = m_window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
    }
    m_placed = true;
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool HelpEngine::showIdentifier(const QString& id, const QString& missingText)
{
    const QList<QHelpLink> links = m_engine->documentsForIdentifier(id);
    if (!links.isEmpty() && m_window->showTopic(links.first().url))
        return true;
    m_window->showProblem(tr("Help topic not found"), missingText);
    return false;
}

QString HelpEngine::collectionFile(const QString& documentation) const
{
    QString folder = m_collectionFolder;
    if (folder.isEmpty()) {
        // The user's cache folder, or the temporary folder when that one cannot be written.
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isWritable())
            folder = QDir::tempPath();
    }
    const QByteArray key =
        QCryptographicHash::hash(QFileInfo(documentation).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QDir(folder).filePath(QStringLiteral("help-%1.qhc").arg(QString::fromLatin1(key)));
}
