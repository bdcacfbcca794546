#include "platform/HelpWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Reads the pages, style sheets and pictures of the help file through the engine.
class HelpViewer : public QTextBrowser
{
public:
    HelpViewer(QHelpEngine* engine, QWidget* parent) : QTextBrowser(parent), m_engine(engine) {}

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (m_engine && name.scheme() == QLatin1String("qthelp"))
            return m_engine->fileData(name);
        return QTextBrowser::loadResource(type, name);
    }

private:
    QHelpEngine* m_engine;
};

bool isNavigationKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

} // namespace

HelpWindow::HelpWindow(QHelpEngine* engine, QWidget* parent)
    : QWidget(parent, Qt::Window), m_engine(engine)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Help"));
    resize(800, 560);

    m_viewer = new HelpViewer(engine, this);
    m_viewer->setObjectName(QStringLiteral("helpViewer"));
    // Links are followed here: pages of the help file in the viewer, everything else outside.
    m_viewer->setOpenLinks(false);
    connect(m_viewer, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl target = m_viewer->source().resolved(link);
        if (target.scheme() == QLatin1String("qthelp"))
            showTopic(target);
        else
            QDesktopServices::openUrl(link);
    });

    m_navigation = new QTabWidget(this);
    m_navigation->setObjectName(QStringLiteral("helpNavigation"));
    if (engine) {
        m_contents = engine->contentWidget();
        m_contents->setObjectName(QStringLiteral("helpContents"));
        m_contents->setHeaderHidden(true);
        m_navigation->addTab(m_contents, tr("Contents"));
        connect(m_contents, &QHelpContentWidget::linkActivated, this,
                [this](const QUrl& url) { showTopic(url); });
        connect(engine->contentModel(), &QHelpContentModel::contentsCreated, this,
                &HelpWindow::contentsCreated);
        m_navigation->addTab(buildIndexPage(), tr("Index"));
    }

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_navigation);
    splitter->addWidget(m_viewer);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 540});

    auto* toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    back->setObjectName(QStringLiteral("helpBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(back, &QAction::triggered, m_viewer, &QTextBrowser::backward);
    connect(m_viewer, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward =
        toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(forward, &QAction::triggered, m_viewer, &QTextBrowser::forward);
    connect(m_viewer, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    if (engine) {
        toolBar->addSeparator();
        QAction* contents = toolBar->addAction(tr("Contents"));
        contents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
        connect(contents, &QAction::triggered, this, &HelpWindow::showContents);
        QAction* index = toolBar->addAction(tr("Index"));
        index->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
        connect(index, &QAction::triggered, this, &HelpWindow::showIndex);
    }

    auto* close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);

    if (!engine)
        m_navigation->setEnabled(false);
}

HelpWindow::~HelpWindow() = default;

QWidget* HelpWindow::buildIndexPage()
{
    m_indexPage = new QWidget(m_navigation);
    auto* label = new QLabel(tr("&Type in the keyword to find:"), m_indexPage);
    m_filter = new QLineEdit(m_indexPage);
    m_filter->setObjectName(QStringLiteral("helpIndexFilter"));
    m_filter->setClearButtonEnabled(true);
    label->setBuddy(m_filter);
    m_index = m_engine->indexWidget();
    m_index->setObjectName(QStringLiteral("helpIndex"));

    connect(m_filter, &QLineEdit::textChanged, m_index,
            [this](const QString& text) { m_index->filterIndices(text); });
    connect(m_filter, &QLineEdit::returnPressed, m_index, &QHelpIndexWidget::activateCurrentItem);
    // The up and down keys move through the list while the typing goes on in the filter field.
    m_filter->installEventFilter(this);
    connect(m_engine->indexModel(), &QHelpIndexModel::indexCreated, this, [this] {
        if (!m_filter->text().isEmpty())
            m_index->filterIndices(m_filter->text());
    });
    connect(m_index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& document, const QString&) { showTopic(document.url); });
    connect(m_index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& documents, const QString&) {
                if (!documents.isEmpty())
                    showTopic(documents.first().url);
            });

    auto* layout = new QVBoxLayout(m_indexPage);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_index, 1);
    return m_indexPage;
}

void HelpWindow::showContents()
{
    if (!m_engine)
        return;
    m_navigation->setCurrentWidget(m_contents);
    openContentsRootWhenRead();
}

void HelpWindow::showIndex()
{
    if (!m_engine)
        return;
    m_navigation->setCurrentWidget(m_indexPage);
    m_filter->clear();
    m_filter->setFocus(Qt::OtherFocusReason);
    // A window that opens on the index shows the contents topic beside it.
    if (m_viewer->source().isEmpty())
        openContentsRootWhenRead();
}

bool HelpWindow::showTopic(const QUrl& url)
{
    if (!m_engine || m_engine->fileData(url).isEmpty())
        return false;
    m_viewer->setSource(url);
    selectInContents(url);
    return true;
}

void HelpWindow::showProblem(const QString& title, const QString& text)
{
    m_viewer->setHtml(
        QStringLiteral("<h2>%1</h2><p>%2</p>").arg(title.toHtmlEscaped(), text.toHtmlEscaped()));
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress &&
        isNavigationKey(static_cast<QKeyEvent*>(event)->key())) {
        QCoreApplication::sendEvent(m_index, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::contentsCreated()
{
    QHelpContentModel* model = m_engine->contentModel();
    if (model->rowCount() == 0) {
        if (m_rootPending)
            showProblem(tr("No contents"), tr("The help file has no contents."));
        m_rootPending = false;
        return;
    }
    if (QHelpContentItem* root = model->contentItemAt(model->index(0, 0)))
        setWindowTitle(root->title());
    m_contents->expandToDepth(0);
    if (m_rootPending) {
        m_rootPending = false;
        openContentsRoot();
    } else {
        selectInContents(m_viewer->source());
    }
}

void HelpWindow::selectInContents(const QUrl& url)
{
    const QModelIndex index = m_contents->indexOf(url);
    if (index.isValid())
        m_contents->setCurrentIndex(index);
}

void HelpWindow::openContentsRoot()
{
    QHelpContentModel* model = m_engine->contentModel();
    if (QHelpContentItem* root = model->contentItemAt(model->index(0, 0)))
        showTopic(root->url());
}

void HelpWindow::openContentsRootWhenRead()
{
    QHelpContentModel* model = m_engine->contentModel();
    if (model->isCreatingContents() || model->rowCount() == 0)
        m_rootPending = true;
    else
        openContentsRoot();
}
