#pragma once

#include <QLabel>

// A label that holds a web address and opens it through the shell when clicked. Its caption is
// what the user sees; the address is its URL.
class UrlLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE setURL)

public:
    // Addresses are handed to the shell cut to this many characters.
    static constexpr int maxAddressLength = 1023;

    explicit UrlLabel(QWidget* parent = nullptr);

    QString URL() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }

    // Opens the address held now (the shell's failure sounds the default beep), then raises
    // clicked(). Callers write the address immediately before.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_url;
    bool m_pressed = false;
};
