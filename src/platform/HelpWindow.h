#pragma once

#include <QUrl>
#include <QWidget>

class QHelpContentWidget;
class QHelpEngine;
class QHelpIndexWidget;
class QLineEdit;
class QTabWidget;
class QTextBrowser;

// The help window: contents and index on the left, the topic on the right, Back and Forward
// on a small toolbar. Without an engine (a help file that cannot be opened) it only shows what
// went wrong.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QHelpEngine* engine, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // The contents tab and the topic at the root of the contents.
    void showContents();
    // The index tab with its filter field emptied and focused.
    void showIndex();
    // Shows a page of the help file; false when the file has no such page.
    bool showTopic(const QUrl& url);
    // Shows a message in place of a topic.
    void showProblem(const QString& title, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildIndexPage();
    void contentsCreated();
    void selectInContents(const QUrl& url);
    void openContentsRoot();
    void openContentsRootWhenRead();

    QHelpEngine* m_engine;
    QTabWidget* m_navigation = nullptr;
    QHelpContentWidget* m_contents = nullptr;
    QWidget* m_indexPage = nullptr;
    QLineEdit* m_filter = nullptr;
    QHelpIndexWidget* m_index = nullptr;
    QTextBrowser* m_viewer = nullptr;
    bool m_rootPending = false; // the contents were asked for before they were read
};
