#include "FieldWindow.h"
#include "RecordingExceptionHandler.h"
#include "platform/Application.h"
#include "platform/NumEdit.h"

#include <QClipboard>
#include <QtTest>

namespace {

// What the field held each time it raised exited().
struct Exit
{
    long double value;
    QString text;
};

} // namespace

class tst_NumEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void display_data();
    void display();
    void typing_data();
    void typing();
    void untouchedLeaveKeepsFullPrecision();
    void settingValue();
    void paste_data();
    void paste();
    void readOnlyTakesNoInput();
    void exitOnlyWhenLeavingForAnotherControl_data();
    void exitOnlyWhenLeavingForAnotherControl();
    void throwingExitHandlerIsReported();

private:
    // A fresh field at 100000 in a shown, active window; exits are recorded.
    void makeField(long double value = 100000);

    std::unique_ptr<FieldWindow> m_window;
    NumEdit* m_field = nullptr;
    QList<Exit> m_exits;
};

void tst_NumEdit::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Application::instance()->setExceptionHandler(nullptr);
}

void tst_NumEdit::cleanup()
{
    m_window.reset();
    m_field = nullptr;
    m_exits.clear();
}

void tst_NumEdit::makeField(long double value)
{
    m_field = new NumEdit;
    m_field->setValue(value);
    m_window = std::make_unique<FieldWindow>(m_field);
    connect(m_field, &NumEdit::exited, this, [this] {
        m_exits.append({m_field->value(), m_field->text()});
    });
    QVERIFY(m_window->showActive());
}

void tst_NumEdit::display_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("entered");

    QTest::newRow("amount") << "en_US" << 100000.0 << "$100,000.00"
                            << "100,000.00";
    QTest::newRow("payment rounded for display") << "en_US" << 786.700406 << "$786.70"
                                                 << "786.70";
    QTest::newRow("ties to even") << "en_US" << 0.125 << "$0.12"
                                  << "0.12";
    QTest::newRow("negative") << "en_US" << -1234.5 << "($1,234.50)"
                              << "-1,234.50";
    QTest::newRow("zero") << "en_US" << 0.0 << "$0.00"
                          << "0.00";
    QTest::newRow("beyond 12 digits") << "en_US" << 1e13 << "1E13"
                                      << "10,000,000,000,000.00";
    QTest::newRow("de_DE") << "de_DE" << 100000.0 << QString::fromUtf8("100.000,00\u00a0€")
                           << "100.000,00";
    QTest::newRow("de_DE negative")
        << "de_DE" << -1234.5 << QString::fromUtf8("-1.234,50\u00a0€") << "-1.234,50";
}

void tst_NumEdit::display()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(QString, entered);
    QLocale::setDefault(QLocale(locale));
    makeField(value);

    QCOMPARE(m_field->text(), shown);
    QCOMPARE(m_field->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(m_window->tabIntoField());
    QCOMPARE(m_field->text(), entered);
    QCOMPARE(m_field->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(m_field->selectedText(), entered);
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_field->text(), shown);
    QCOMPARE(m_field->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(m_field->value(), static_cast<long double>(value));
}

void tst_NumEdit::typing_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    // Each row enters the field at 100000 with Tab, so the whole text is selected.
    auto keys = [](const char* text) {
        QTestEventList list;
        list.addKeyClicks(QString::fromUtf8(text));
        return list;
    };

    QTest::newRow("digits replace the selection")
        << "en_US" << keys("1234") << "1234" << false << 1234.0 << "$1,234.00";
    QTest::newRow("letters and blanks ignored")
        << "en_US" << keys("a1 b2") << "12" << false << 12.0 << "$12.00";
    QTest::newRow("group and decimal separators")
        << "en_US" << keys("1,234.5") << "1,234.5" << false << 1234.5 << "$1,234.50";
    QTest::newRow("second decimal separator ignored")
        << "en_US" << keys("1.2.3") << "1.23" << false << 1.23 << "$1.23";
    QTest::newRow("second minus ignored")
        << "en_US" << keys("-1-2") << "-12" << false << -12.0 << "($12.00)";
    QTest::newRow("minus last makes it negative")
        << "en_US" << keys("12-") << "12-" << false << -12.0 << "($12.00)";
    QTest::newRow("minus inside is dropped")
        << "en_US" << keys("1-2") << "1-2" << false << 12.0 << "$12.00";
    QTest::newRow("twelve characters") << "en_US" << keys("1234567890123") << "123456789012"
                                       << false << 123456789012.0 << "$123,456,789,012.00";
    QTest::newRow("group separators count") << "en_US" << keys("1,234,567,890") << "1,234,567,89"
                                            << false << 123456789.0 << "$123,456,789.00";
    QTest::newRow("decimal separator beyond twelve")
        << "en_US" << keys("123456789012.5") << "123456789012." << false << 123456789012.0
        << "$123,456,789,012.00";
    QTest::newRow("minus beyond twelve") << "en_US" << keys("123456789012-") << "123456789012-"
                                         << false << -123456789012.0 << "($123,456,789,012.00)";
    QTest::newRow("symbols ignored") << "en_US" << keys("$5%+e") << "5" << false << 5.0 << "$5.00";

    QTestEventList backspace = keys("123");
    backspace.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("backspace") << "en_US" << backspace << "12" << false << 12.0 << "$12.00";

    QTestEventList decimalsDeleted;
    decimalsDeleted.addKeyClick(Qt::Key_End);
    for (int i = 0; i < 3; ++i)
        decimalsDeleted.addKeyClick(Qt::Key_Backspace);
    decimalsDeleted.addKeyClicks(QStringLiteral("5"));
    QTest::newRow("caret keys and backspace in the entered text")
        << "en_US" << decimalsDeleted << "100,0005" << false << 1000005.0 << "$1,000,005.00";

    QTestEventList emptied;
    emptied.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("emptied is zero") << "en_US" << emptied << "" << false << 0.0 << "$0.00";

    QTestEventList enter = keys("5");
    enter.addKeyClick(Qt::Key_Return);
    QTest::newRow("Enter stays in the field") << "en_US" << enter << "5" << false << 5.0 << "$5.00";

    QTestEventList keypad = keys("1");
    keypad.addKeyClick(Qt::Key_Comma, Qt::KeypadModifier);
    keypad.addKeyClicks(QStringLiteral("5"));
    QTest::newRow("keypad separator types the decimal point")
        << "en_US" << keypad << "1.5" << false << 1.5 << "$1.50";

    QTest::newRow("minus alone restores")
        << "en_US" << keys("-") << "-" << true << 100000.0 << "$100,000.00";
    QTest::newRow("decimal separator alone restores")
        << "en_US" << keys(".") << "." << true << 100000.0 << "$100,000.00";
    QTest::newRow("group separators alone restore")
        << "en_US" << keys(",,-") << ",,-" << true << 100000.0 << "$100,000.00";

    QTest::newRow("de_DE decimal comma") << "de_DE" << keys("1.234,5") << "1.234,5" << false
                                         << 1234.5 << QString::fromUtf8("1.234,50\u00a0€");
    QTest::newRow("de_DE period groups")
        << "de_DE" << keys("1,2,3") << "1,23" << false << 1.23 << QString::fromUtf8("1,23\u00a0€");
    QTest::newRow("de_DE minus last")
        << "de_DE" << keys("7,5-") << "7,5-" << false << -7.5 << QString::fromUtf8("-7,50\u00a0€");

    QTestEventList keypadComma = keys("1");
    keypadComma.addKeyClick(Qt::Key_Period, Qt::KeypadModifier);
    keypadComma.addKeyClicks(QStringLiteral("5"));
    QTest::newRow("de_DE keypad separator types the comma")
        << "de_DE" << keypadComma << "1,5" << false << 1.5 << QString::fromUtf8("1,50\u00a0€");
}

void tst_NumEdit::typing()
{
    QFETCH(QString, locale);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, typed);
    QFETCH(bool, restored);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    makeField();

    QVERIFY(m_window->tabIntoField());
    keys.simulate(m_field);
    QCOMPARE(m_field->text(), typed);
    QVERIFY(m_exits.isEmpty());

    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    // The text is redrawn before exited() fires, and it fires once.
    QCOMPARE(m_exits.size(), 1);
    QCOMPARE(static_cast<double>(m_exits.first().value), value);
    QCOMPARE(m_exits.first().text, shown);
    QCOMPARE(static_cast<double>(m_field->value()), value);
    if (restored) {
        // The focus comes back to the field, which shows its number to type again.
        QTRY_VERIFY(m_field->hasFocus());
        QVERIFY(m_field->isEntered());
        QCOMPARE(m_field->text(), QLocale().toString(100000.0, 'f', 2));
        QCOMPARE(m_exits.size(), 1);
    } else {
        QCOMPARE(m_field->text(), shown);
        QTest::qWait(0);
        QVERIFY(m_window->next()->hasFocus());
    }
}

void tst_NumEdit::untouchedLeaveKeepsFullPrecision()
{
    makeField(786.7004061234L);
    QVERIFY(m_window->tabIntoField());
    QCOMPARE(m_field->text(), QStringLiteral("786.70"));
    QVERIFY(m_window->moveFocus(FocusMove::Click));
    QCOMPARE(m_exits.size(), 1);
    QCOMPARE(m_field->value(), 786.7004061234L);

    // Typing the same text back counts as a typed number.
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("786.70"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_field->value(), 786.70L);
}

void tst_NumEdit::settingValue()
{
    makeField(100000);
    QSignalSpy changes(m_field, &QLineEdit::textChanged);
    m_field->setValue(100000);
    QCOMPARE(changes.size(), 0);
    m_field->setValue(-5);
    QCOMPARE(m_field->text(), QStringLiteral("($5.00)"));
    QCOMPARE(changes.size(), 1);

    // With the focus the new number is shown ready for typing, and leaving keeps it whole.
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("9"));
    m_field->setValue(2.345L);
    QCOMPARE(m_field->text(), QStringLiteral("2.34"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_field->value(), 2.345L);
    QCOMPARE(m_field->text(), QStringLiteral("$2.34"));
}

void tst_NumEdit::paste_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<PasteRoute>("route");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("typed");

    QTest::newRow("currency text") << "en_US" << PasteRoute::CtrlV << "$1,234.56"
                                   << "1,234.56";
    QTest::newRow("letters dropped") << "en_US" << PasteRoute::CtrlV << "12abc34"
                                     << "1234";
    QTest::newRow("cut at the limit") << "en_US" << PasteRoute::CtrlV << "12345678901234567"
                                      << "123456789012";
    QTest::newRow("second minus dropped") << "en_US" << PasteRoute::CtrlV << "-12-3"
                                          << "-123";
    QTest::newRow("nothing acceptable keeps the text") << "en_US" << PasteRoute::CtrlV << "abc"
                                                       << "100,000.00";
    QTest::newRow("from the context menu") << "en_US" << PasteRoute::ContextMenu << "$7.5x"
                                           << "7.5";
    QTest::newRow("de_DE currency text")
        << "de_DE" << PasteRoute::CtrlV << QString::fromUtf8("1.234,56\u00a0€") << "1.234,56";
    QTest::newRow("committed by an input method") << "en_US" << PasteRoute::InputMethod << "4a-2"
                                                  << "4-2";
    QTest::newRow("de_DE from the context menu") << "de_DE" << PasteRoute::ContextMenu << "3,25 EUR"
                                                 << "3,25";
}

void tst_NumEdit::paste()
{
    QFETCH(QString, locale);
    QFETCH(PasteRoute, route);
    QFETCH(QString, pasted);
    QFETCH(QString, typed);
    QLocale::setDefault(QLocale(locale));
    makeField();
    QVERIFY(m_window->tabIntoField());
    QVERIFY(pasteInto(m_field, route, pasted));
    QCOMPARE(m_field->text(), typed);
}

void tst_NumEdit::readOnlyTakesNoInput()
{
    makeField(250);
    m_field->setReadOnly(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("12"));
    QTest::keyClick(m_field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->text(), QStringLiteral("250.00"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_field->value(), 250.0L);
    QCOMPARE(m_field->text(), QStringLiteral("$250.00"));
}

void tst_NumEdit::exitOnlyWhenLeavingForAnotherControl_data()
{
    addFocusMoveRows();
}

void tst_NumEdit::exitOnlyWhenLeavingForAnotherControl()
{
    QFETCH(FocusMove, move);
    QFETCH(bool, leaves);
    makeField();
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("42"));

    QVERIFY(m_window->moveFocus(move));
    if (leaves) {
        QCOMPARE(m_exits.size(), 1);
        QCOMPARE(m_field->value(), 42.0L);
        QCOMPARE(m_field->text(), QStringLiteral("$42.00"));
        return;
    }
    // The focus was only borrowed: the typed text waits, Value is unchanged, no exit.
    QVERIFY(m_exits.isEmpty());
    QVERIFY(m_field->isEntered());
    QCOMPARE(m_field->text(), QStringLiteral("42"));
    QCOMPARE(m_field->value(), 100000.0L);
    QTest::keyClicks(m_field, QStringLiteral("5"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_exits.size(), 1);
    QCOMPARE(m_field->value(), 425.0L);
}

void tst_NumEdit::throwingExitHandlerIsReported()
{
    RecordingExceptionHandler handler;
    Application::instance()->setExceptionHandler(&handler);
    makeField();
    connect(m_field, &NumEdit::exited, this,
            [] { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); });
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("7"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(handler.messages, QStringList{QStringLiteral("'x' is not a valid integer value")});
    QCOMPARE(handler.senders.value(0), m_field);
    QCOMPARE(m_field->value(), 7.0L);
    QCOMPARE(m_field->text(), QStringLiteral("$7.00"));
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tst_NumEdit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_NumEdit.moc"
