#pragma once

#include <QList>
#include <QString>

class QObject;

namespace Ui {
class TfrmMain;
}

// Which address each link entry of the main window opens, found by the sender's identity. The
// address is formed when it is asked for, from the referral tag and the edition word of that
// moment.
class LinkTable
{
public:
    // A page of a web site: host + "/" + page + the referral tag.
    void addPage(const QObject* sender, const QString& host, const QString& page);
    // A mail to the maker: the product code and the edition word, a point and the role word in
    // the local part, and no referral tag.
    void addMail(const QObject* sender, const QString& role);

    // The address of the sender's row; a null string when the sender has none.
    QString addressFor(const QObject* sender, const QString& refTag, const QString& edition) const;

    // The fifteen entries of the "&Quorvane Online" menu and the status bar's link panel.
    static LinkTable forMainWindow(const Ui::TfrmMain& ui);

private:
    struct Row
    {
        const QObject* sender;
        bool mail;
        QString host; // pages only
        QString page; // the page path, or the role word of a mail
    };
    QList<Row> m_rows;
};
