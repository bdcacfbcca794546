#include "platform/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <utility>

namespace Shell {

namespace {

Backend& backendSlot()
{
    static Backend backend;
    return backend;
}

Beeper& beeperSlot()
{
    static Beeper beeper;
    return beeper;
}

// A scheme of two letters or more, so that a drive letter ("C:\...") does not count as one.
bool hasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

// "name@domain" with nothing that would make it a path or a web address.
bool isBareMailAddress(const QString& target)
{
    static const QRegularExpression mail(QStringLiteral("^[^@/\\\\:?#\\s]+@[^@/\\\\:?#\\s]+$"));
    return mail.match(target).hasMatch();
}

} // namespace

Target resolve(const QString& target, const QString& params)
{
    Target t;
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty())
        return t;
    if (!hasScheme(trimmed)) {
        const QFileInfo file(trimmed);
        if (file.exists()) {
            if (file.isFile() && file.isExecutable()) {
                t.kind = TargetKind::Program;
                t.program = file.absoluteFilePath();
                t.arguments = QProcess::splitCommand(params);
            } else {
                t.kind = TargetKind::Document;
                t.url = QUrl::fromLocalFile(file.absoluteFilePath());
            }
            return t;
        }
    }
    QString address = trimmed;
    if (!hasScheme(address))
        address.prepend(isBareMailAddress(address) ? QStringLiteral("mailto:")
                                                   : QStringLiteral("http://"));
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid())
        return t;
    t.kind = TargetKind::Address;
    t.url = url;
    return t;
}

bool openOnDesktop(const QString& target, const QString& params)
{
    const Target t = resolve(target, params);
    switch (t.kind) {
    case TargetKind::Address:
    case TargetKind::Document:
        return QDesktopServices::openUrl(t.url);
    case TargetKind::Program:
        return QProcess::startDetached(t.program, t.arguments);
    case TargetKind::None:
        break;
    }
    return false;
}

bool open(const QString& target, const QString& params)
{
    if (const Backend& backend = backendSlot())
        return backend(target, params);
    return openOnDesktop(target, params);
}

void beep()
{
    if (const Beeper& beeper = beeperSlot())
        beeper();
    else
        QApplication::beep();
}

Backend setBackend(Backend backend)
{
    return std::exchange(backendSlot(), std::move(backend));
}

Beeper setBeeper(Beeper beeper)
{
    return std::exchange(beeperSlot(), std::move(beeper));
}

} // namespace Shell
