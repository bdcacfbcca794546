#include "MainWindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

bool MainWindowFixture::start()
{
    window = std::make_unique<TfrmMain>(folder.path());
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
}

bool MainWindowFixture::close()
{
    return window->close();
}

void MainWindowFixture::type(QWidget* field, const QString& text, QWidget* next)
{
    field->setFocus(Qt::TabFocusReason);
    QWidget* target = field;
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
    QTest::keyClick(target, Qt::Key_Backspace);
    QTest::keyClicks(target, text);
    leave(next);
}

void MainWindowFixture::leave(QWidget* next)
{
    next->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}
