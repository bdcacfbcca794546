#include "FieldWindow.h"
#include "platform/Application.h"
#include "platform/FnpNumericEdit.h"

#include <QClipboard>
#include <QtTest>

#include <variant>

class tst_FnpNumericEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setValue_data();
    void setValue();
    void settingTheSameTextDoesNothing();
    void value_data();
    void value();
    void changingDecimalsRewritesTheText();
    void typing_data();
    void typing();
    void paste_data();
    void paste();
    void lineEditEditsAreKeptInShape_data();
    void lineEditEditsAreKeptInShape();
    void typingOverATextThatIsNoPlainNumber_data();
    void typingOverATextThatIsNoPlainNumber();
    void exitOnlyWhenLeavingForAnotherControl_data();
    void exitOnlyWhenLeavingForAnotherControl();

private:
    // A fresh centred field in a shown, active window; exits are counted.
    void makeField(int decimals, double minimum, double value);

    std::unique_ptr<FieldWindow> m_window;
    FnpNumericEdit* m_field = nullptr;
    int m_exits = 0;
};

void tst_FnpNumericEdit::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_FnpNumericEdit::cleanup()
{
    m_window.reset();
    m_field = nullptr;
    m_exits = 0;
}

void tst_FnpNumericEdit::makeField(int decimals, double minimum, double value)
{
    m_field = new FnpNumericEdit;
    m_field->setDecimals(decimals);
    m_field->setMinimum(minimum);
    m_field->setValue(value);
    m_window = std::make_unique<FieldWindow>(m_field);
    connect(m_field, &FnpNumericEdit::exited, this, [this] { ++m_exits; });
    QVERIFY(m_window->showActive());
}

void tst_FnpNumericEdit::setValue_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("number of payments") << "en_US" << 0 << 360.0 << "360";
    QTest::newRow("rate with three decimals") << "en_US" << 3 << 8.75 << "8.750";
    QTest::newRow("rate with a decimal comma") << "de_DE" << 3 << 8.75 << "8,750";
    QTest::newRow("no separator without decimals") << "de_DE" << 0 << 1234.0 << "1234";
    QTest::newRow("fraction rounded half away from zero") << "en_US" << 0 << 359.5 << "360";
    QTest::newRow("2.5 rounds up") << "en_US" << 0 << 2.5 << "3";
    QTest::newRow("rounded on the last decimal") << "en_US" << 3 << 8.7496 << "8.750";
    QTest::newRow("zero") << "en_US" << 3 << 0.0 << "0.000";
    QTest::newRow("beyond 32 bits") << "en_US" << 0 << 2147483648.0 << "2147483648";
    QTest::newRow("negative") << "en_US" << 2 << -1.5 << "-1.50";
}

void tst_FnpNumericEdit::setValue()
{
    QFETCH(QString, locale);
    QFETCH(int, decimals);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    FnpNumericEdit field;
    field.setDecimals(decimals);
    field.setValue(value);
    QCOMPARE(field.text(), text);
    QCOMPARE(field.alignment(), Qt::AlignCenter);
}

void tst_FnpNumericEdit::settingTheSameTextDoesNothing()
{
    FnpNumericEdit field;
    field.setDecimals(3);
    field.setValue(8.75);
    field.setCursorPosition(2);
    QSignalSpy changes(&field, &QLineEdit::textChanged);
    field.setValue(8.7501);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(field.cursorPosition(), 2);
    field.setValue(9);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(field.text(), QStringLiteral("9.000"));
}

void tst_FnpNumericEdit::value_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("whole number") << "en_US"
                                  << "360" << true << 360.0;
    QTest::newRow("decimals") << "en_US"
                              << "8.750" << true << 8.75;
    QTest::newRow("decimal comma") << "de_DE"
                                   << "8,750" << true << 8.75;
    QTest::newRow("exponent") << "en_US"
                              << "1E20" << true << 1e20;
    QTest::newRow("empty") << "en_US"
                           << "" << false << 0.0;
    QTest::newRow("letters") << "en_US"
                             << "abc" << false << 0.0;
    QTest::newRow("point under de_DE") << "de_DE"
                                       << "8.750" << false << 0.0;
}

void tst_FnpNumericEdit::value()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    FnpNumericEdit field;
    field.setText(text);
    if (valid)
        QCOMPARE(field.value(), value);
    else
        QVERIFY_THROWS_EXCEPTION(EConvertError, field.value());
}

void tst_FnpNumericEdit::changingDecimalsRewritesTheText()
{
    FnpNumericEdit field;
    field.setValue(8);
    field.setDecimals(3);
    QCOMPARE(field.text(), QStringLiteral("8.000"));
    field.setText(QStringLiteral("8.750"));
    field.setDecimals(0);
    QCOMPARE(field.text(), QStringLiteral("9"));
    // Set by name, as a Designer form does.
    QVERIFY(field.setProperty("decimals", 2));
    QCOMPARE(field.text(), QStringLiteral("9.00"));
    QVERIFY(field.setProperty("minimum", -5.0));
    QCOMPARE(field.minimum(), -5.0);
}

void tst_FnpNumericEdit::typing_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("initial");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("typed");

    // Each row enters the field with Tab, so the whole text is selected.
    auto keys = [](std::initializer_list<std::variant<const char*, Qt::Key>> steps) {
        QTestEventList list;
        for (const auto& step : steps) {
            if (std::holds_alternative<const char*>(step))
                list.addKeyClicks(QString::fromUtf8(std::get<const char*>(step)));
            else
                list.addKeyClick(std::get<Qt::Key>(step));
        }
        return list;
    };

    // The number of payments: no decimals, minimum 0.
    QTest::newRow("digits replace the selection")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"12"}) << "12";
    QTest::newRow("letters and symbols ignored")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"a1$b2,e"}) << "12";
    QTest::newRow("decimal separator refused without decimals")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"1.5"}) << "15";
    QTest::newRow("minus refused at minimum 0")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"-5", Qt::Key_Home, "-"}) << "5";
    QTest::newRow("0 typed first is refused")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"0"}) << "360";
    QTest::newRow("0 typed first at the caret is refused")
        << "en_US" << 0 << 0.0 << 360.0 << keys({Qt::Key_Home, "0"}) << "360";
    QTest::newRow("0 after a digit is taken")
        << "en_US" << 0 << 0.0 << 360.0 << keys({"10"}) << "10";
    QTest::newRow("digits insert at the caret")
        << "en_US" << 0 << 0.0 << 360.0 << keys({Qt::Key_Home, Qt::Key_Right, "5"}) << "3560";
    QTest::newRow("deleting the last digit leaves 0")
        << "en_US" << 0 << 0.0 << 360.0
        << keys({Qt::Key_End, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace,
                 Qt::Key_Backspace})
        << "0";
    QTest::newRow("Delete on the selection leaves 0")
        << "en_US" << 0 << 0.0 << 360.0 << keys({Qt::Key_Delete}) << "0";
    QTest::newRow("a digit replaces the lone 0")
        << "en_US" << 0 << 0.0 << 360.0 << keys({Qt::Key_Backspace, "7"}) << "7";
    QTest::newRow("a digit before the lone 0 replaces it too")
        << "en_US" << 0 << 0.0 << 360.0 << keys({Qt::Key_Backspace, Qt::Key_Home, "7"}) << "7";
    QTest::newRow("deleting the first digit drops the zeros after it")
        << "en_US" << 0 << 0.0 << 1005.0 << keys({Qt::Key_Home, Qt::Key_Delete}) << "5";

    // The rate: three decimals, minimum 0.
    QTest::newRow("separator over the selection starts at 0")
        << "en_US" << 3 << 0.0 << 8.75 << keys({".125"}) << "0.125";
    QTest::newRow("0 refused, then the decimals")
        << "en_US" << 3 << 0.0 << 8.75 << keys({"0.5"}) << "0.500";
    QTest::newRow("separator moves the caret into the decimals")
        << "en_US" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, ".5"}) << "8.550";
    QTest::newRow("decimals keep their count")
        << "en_US" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, ".12345"}) << "8.123";
    QTest::newRow("whole digits before the separator")
        << "en_US" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, "1"}) << "18.750";
    QTest::newRow("second separator only moves the caret")
        << "en_US" << 3 << 0.0 << 8.75 << keys({"9.2.4"}) << "9.400";
    QTest::newRow("backspace in the decimals leaves zeros")
        << "en_US" << 3 << 0.0 << 8.75 << keys({Qt::Key_End, Qt::Key_Backspace, Qt::Key_Backspace})
        << "8.700";
    QTest::newRow("backspace over the separator deletes the last whole digit")
        << "en_US" << 3 << 0.0 << 18.75
        << keys({Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Backspace})
        << "1.750";
    QTest::newRow("Delete in the decimals leaves zeros")
        << "en_US" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, Qt::Key_Delete, Qt::Key_Delete})
        << "0.050";
    QTestEventList selectedDecimals = keys({Qt::Key_End});
    selectedDecimals.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    selectedDecimals.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    selectedDecimals.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("selected decimals become zeros")
        << "en_US" << 3 << 0.0 << 8.75 << selectedDecimals << "8.700";
    QTestEventList acrossSeparator = keys({Qt::Key_Home, Qt::Key_Right});
    acrossSeparator.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
    acrossSeparator.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
    acrossSeparator.addKeyClicks(QStringLiteral("4"));
    QTest::newRow("typing over a selection across the separator keeps it")
        << "en_US" << 3 << 0.0 << 8.75 << acrossSeparator << "84.050";
    QTestEventList keypad = keys({Qt::Key_Home});
    keypad.addKeyClick(Qt::Key_Comma, Qt::KeypadModifier);
    keypad.addKeyClicks(QStringLiteral("3"));
    QTest::newRow("keypad separator types the decimal point")
        << "en_US" << 3 << 0.0 << 8.75 << keypad << "8.350";
    QTest::newRow("de_DE decimal comma")
        << "de_DE" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, ",5"}) << "8,550";
    QTest::newRow("de_DE point refused")
        << "de_DE" << 3 << 0.0 << 8.75 << keys({Qt::Key_Home, ".5"}) << "58,750";

    // A field that allows negative numbers.
    QTest::newRow("minus below a negative minimum")
        << "en_US" << 0 << -100.0 << 360.0 << keys({"5-"}) << "-5";
    QTest::newRow("minus again makes it positive")
        << "en_US" << 2 << -100.0 << 1.5 << keys({"-", "-"}) << "1.50";
    QTest::newRow("0 after the minus sign is refused")
        << "en_US" << 0 << -100.0 << 360.0 << keys({Qt::Key_Home, "-0"}) << "-360";
}

void tst_FnpNumericEdit::typing()
{
    QFETCH(QString, locale);
    QFETCH(int, decimals);
    QFETCH(double, minimum);
    QFETCH(double, initial);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, typed);
    QLocale::setDefault(QLocale(locale));
    makeField(decimals, minimum, initial);

    QVERIFY(m_window->tabIntoField());
    keys.simulate(m_field);
    QCOMPARE(m_field->text(), typed);
    QCOMPARE(m_exits, 0);
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_exits, 1);
    QCOMPARE(m_field->text(), typed);
}

void tst_FnpNumericEdit::paste_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<PasteRoute>("route");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("typed");

    // Pasted over the whole text, selected on entering: 360 or 8.750.
    QTest::newRow("grouping dropped") << "en_US" << 0 << PasteRoute::CtrlV << "1,234"
                                      << "1234";
    QTest::newRow("fraction of a whole number") << "en_US" << 0 << PasteRoute::CtrlV << "12.5"
                                                << "125";
    QTest::newRow("minus dropped at minimum 0") << "en_US" << 0 << PasteRoute::CtrlV << "-12"
                                                << "12";
    QTest::newRow("nothing acceptable keeps the text") << "en_US" << 0 << PasteRoute::CtrlV << "abc"
                                                       << "360";
    QTest::newRow("leading zero dropped") << "en_US" << 0 << PasteRoute::CtrlV << "0042"
                                          << "42";
    QTest::newRow("rate") << "en_US" << 3 << PasteRoute::CtrlV << "8.25"
                          << "8.250";
    QTest::newRow("rate below 1") << "en_US" << 3 << PasteRoute::CtrlV << "0.5"
                                  << "0.500";
    QTest::newRow("extra decimals dropped") << "en_US" << 3 << PasteRoute::CtrlV << "7.12345"
                                            << "7.123";
    QTest::newRow("from the context menu") << "en_US" << 3 << PasteRoute::ContextMenu << " 6.5 %"
                                           << "6.500";
    QTest::newRow("committed by an input method")
        << "en_US" << 3 << PasteRoute::InputMethod << "x9.8"
        << "9.800";
    QTest::newRow("de_DE decimal comma") << "de_DE" << 3 << PasteRoute::CtrlV << "8,25"
                                         << "8,250";
    QTest::newRow("de_DE point refused") << "de_DE" << 3 << PasteRoute::ContextMenu << "8.25"
                                         << "825,000";
}

void tst_FnpNumericEdit::paste()
{
    QFETCH(QString, locale);
    QFETCH(int, decimals);
    QFETCH(PasteRoute, route);
    QFETCH(QString, pasted);
    QFETCH(QString, typed);
    QLocale::setDefault(QLocale(locale));
    makeField(decimals, 0, decimals == 0 ? 360 : 8.75);
    QVERIFY(m_window->tabIntoField());
    QVERIFY(pasteInto(m_field, route, pasted));
    QCOMPARE(m_field->text(), typed);
}

void tst_FnpNumericEdit::lineEditEditsAreKeptInShape_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");

    QTestEventList cut;
    cut.addKeyClick(Qt::Key_X, Qt::ControlModifier);
    QTest::newRow("Ctrl+X on the whole number") << 0 << cut << "0"
                                                << "360";
    QTest::newRow("Ctrl+X on the whole rate") << 3 << cut << "0.000"
                                              << "8.750";
    QTestEventList wordDeleted;
    wordDeleted.addKeyClick(Qt::Key_End);
    wordDeleted.addKeyClick(Qt::Key_Backspace, Qt::ControlModifier);
    QTest::newRow("word deleted before the caret") << 0 << wordDeleted << "0"
                                                   << "";
}

void tst_FnpNumericEdit::lineEditEditsAreKeptInShape()
{
    QFETCH(int, decimals);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    makeField(decimals, 0, decimals == 0 ? 360 : 8.75);
    QGuiApplication::clipboard()->clear();

    QVERIFY(m_window->tabIntoField());
    keys.simulate(m_field);
    QCOMPARE(m_field->text(), text);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(m_field->value(), 0.0);
}

void tst_FnpNumericEdit::typingOverATextThatIsNoPlainNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("result");

    QTestEventList five;
    five.addKeyClicks(QStringLiteral("5"));
    QTestEventList fiveAtTheEnd;
    fiveAtTheEnd.addKeyClick(Qt::Key_End);
    fiveAtTheEnd.addKeyClicks(QStringLiteral("5"));
    QTestEventList backspace;
    backspace.addKeyClick(Qt::Key_Backspace);

    // Texts that only a program can put there; typing starts from their plain part.
    QTest::newRow("exponent selected") << "1E20" << five << "5";
    QTest::newRow("exponent, caret at the end") << "1E20" << fiveAtTheEnd << "15";
    QTest::newRow("empty") << "" << five << "5";
    QTest::newRow("empty, backspace") << "" << backspace << "0";
}

void tst_FnpNumericEdit::typingOverATextThatIsNoPlainNumber()
{
    QFETCH(QString, text);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, result);
    makeField(0, 0, 0);
    m_field->setText(text);
    QVERIFY(m_window->tabIntoField());
    keys.simulate(m_field);
    QCOMPARE(m_field->text(), result);
}

void tst_FnpNumericEdit::exitOnlyWhenLeavingForAnotherControl_data()
{
    addFocusMoveRows();
}

void tst_FnpNumericEdit::exitOnlyWhenLeavingForAnotherControl()
{
    QFETCH(FocusMove, move);
    QFETCH(bool, leaves);
    makeField(0, 0, 360);
    QVERIFY(m_window->tabIntoField());
    QTest::keyClicks(m_field, QStringLiteral("42"));

    QVERIFY(m_window->moveFocus(move));
    QCOMPARE(m_exits, leaves ? 1 : 0);
    QCOMPARE(m_field->text(), QStringLiteral("42"));
    if (leaves)
        return;
    // The focus was only borrowed: typing goes on where it was, and leaving exits once.
    QTest::keyClicks(m_field, QStringLiteral("5"));
    QVERIFY(m_window->moveFocus(FocusMove::Tab));
    QCOMPARE(m_exits, 1);
    QCOMPARE(m_field->value(), 425.0);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tst_FnpNumericEdit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FnpNumericEdit.moc"
