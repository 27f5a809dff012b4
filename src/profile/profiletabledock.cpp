#include "profile/profiletabledock.h"

#include "profile/profiledocument.h"
#include "profile/profiletable.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Keys the table and its editor use without Ctrl or Alt: moving, editing,
// typing a value.
bool isTableKey(const QKeyEvent *key)
{
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste))
        return true;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F2:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true;
    default:
        return !key->text().isEmpty() && key->text().at(0).isPrint();
    }
}

} // namespace

CProfileTableDock::CProfileTableDock(CProfileDocument *document, QWidget *parent)
    : QDockWidget(parent)
    , m_document(document)
    , m_model(new CProfileTableModel(document, this))
{
    setObjectName(QStringLiteral("dockTabella"));
    setWindowTitle(tr("Tabella mappa"));

    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_view = new QTableView(body);
    m_view->setObjectName(QStringLiteral("tableMappa"));
    m_view->setModel(m_model);
    // A rectangle of cells: its rows are the selected range of points.
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->verticalHeader()->hide();
    // Rows as high as their text: as many as the dock's height allows.
    m_view->verticalHeader()->setMinimumSectionSize(1);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    fitColumns();
    m_view->installEventFilter(this);
    layout->addWidget(m_view);

    m_messageLabel = new QLabel(body);
    m_messageLabel->setObjectName(QStringLiteral("lblMessaggioTabella"));
    m_messageLabel->setWordWrap(true);
    m_messageLabel->hide();
    layout->addWidget(m_messageLabel);
    setWidget(body);

    m_messageTimer.setSingleShot(true);
    m_messageTimer.setInterval(MessageMs);
    connect(&m_messageTimer, &QTimer::timeout, m_messageLabel, [this] {
        m_messageLabel->clear();
        m_messageLabel->hide();
    });
    connect(m_model, &CProfileTableModel::message, this, &CProfileTableDock::showMessage);

    QItemSelectionModel *selection = m_view->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &CProfileTableDock::takeViewSelection);
    connect(selection, &QItemSelectionModel::currentChanged, this,
            &CProfileTableDock::takeViewSelection);
    connect(document->model(), &CProfileModel::selectionChanged, this,
            &CProfileTableDock::showModelSelection);
    showModelSelection();

    hide(); // until the user shows it
}

void CProfileTableDock::setMaxRpm(double maxRpm)
{
    m_model->setMaxRpm(maxRpm);
    fitColumns();
}

// Every column in sight: the dock is at least as wide as the four columns.
void CProfileTableDock::fitColumns()
{
    m_view->resizeColumnsToContents();
    m_view->setMinimumWidth(m_view->horizontalHeader()->length()
                            + m_view->verticalScrollBar()->sizeHint().width()
                            + 2 * m_view->frameWidth());
}

void CProfileTableDock::showMessage(const QString &text)
{
    m_messageLabel->setText(text);
    m_messageLabel->show();
    m_messageTimer.start();
    emit message(text);
}

// The rows selected in the table become the model's range; the current cell's
// row is the model's current point and the other end of the rows its anchor.
void CProfileTableDock::takeViewSelection()
{
    if (m_syncing)
        return;
    const QItemSelectionModel *selection = m_view->selectionModel();
    const QModelIndexList cells = selection->selectedIndexes();
    CProfileModel *model = m_document->model();
    m_syncing = true;
    if (cells.isEmpty()) {
        model->clearSelection();
    } else {
        int first = cells.first().row();
        int last = first;
        for (const QModelIndex &cell : cells) {
            first = qMin(first, cell.row());
            last = qMax(last, cell.row());
        }
        // The current cell moves only after the selection: until it has, the
        // last row stands for it.
        int current = selection->currentIndex().row();
        if (current < first || current > last)
            current = last;
        const int anchor = current == first ? last : first;
        model->select(anchor);
        if (current != anchor)
            model->extendSelection(current);
    }
    m_syncing = false;
}

// The model's range shows as the rows selected, in the columns selected so
// far (the value column when none is).
void CProfileTableDock::showModelSelection()
{
    if (m_syncing)
        return;
    const CProfileModel *model = m_document->model();
    QItemSelectionModel *selection = m_view->selectionModel();
    m_syncing = true;
    if (!model->hasSelection()) {
        selection->clear();
    } else {
        int left = CProfileTableModel::ValueColumn;
        int right = left;
        const QModelIndexList cells = selection->selectedIndexes();
        if (!cells.isEmpty()) {
            left = right = cells.first().column();
            for (const QModelIndex &cell : cells) {
                left = qMin(left, cell.column());
                right = qMax(right, cell.column());
            }
        }
        const int column = qBound(left, selection->currentIndex().column(), right);
        selection->select(QItemSelection(m_model->index(model->first(), left),
                                         m_model->index(model->last(), right)),
                          QItemSelectionModel::ClearAndSelect);
        const QModelIndex current = m_model->index(model->current(), column);
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        m_view->scrollTo(current);
    }
    m_syncing = false;
}

void CProfileTableDock::copySelection()
{
    const QModelIndexList cells = m_view->selectionModel()->selectedIndexes();
    if (!cells.isEmpty())
        QGuiApplication::clipboard()->setText(m_model->copyText(cells));
}

void CProfileTableDock::pasteClipboard()
{
    const CProfileModel *model = m_document->model();
    m_model->paste(QGuiApplication::clipboard()->text(),
                   model->hasSelection() ? model->first() : -1);
}

bool CProfileTableDock::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            copySelection();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            pasteClipboard();
            return true;
        }
    }
    return QDockWidget::eventFilter(object, event);
}

// The window's shortcuts on plain keys (arrows nudge the plot, Enter types a
// value) would take these keys from the table: while the focus is in the
// dock, the table has them.
bool CProfileTableDock::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride
        && isTableKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QDockWidget::event(event);
}

void CProfileTableDock::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Tabella mappa"));
        m_model->retranslate();
        fitColumns();
    }
    QDockWidget::changeEvent(event);
}
