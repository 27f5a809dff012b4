#pragma once

#include <QDockWidget>
#include <QTimer>

class CProfileDocument;
class CProfileTableModel;
class QLabel;
class QTableView;

// The profile as a table in a dock widget ("dockTabella", its view
// "tableMappa"), hidden until the user shows it. The table's selection is the
// model's selection, the one the plot shows: rows selected in the table
// select those points, and a selection made on the plot or with the keys
// shows in the table. Ctrl+C copies the selected cells, Ctrl+V pastes a
// column or a row of values from the selected point on. What the table
// refuses is shown under it for a while and told through message(), for the
// window's status bar. While the focus is in the table, the keys the table
// uses (arrows, Enter, typing, copy and paste) are the table's, not the
// window's shortcuts. The document must outlive the dock.
class CProfileTableDock : public QDockWidget
{
    Q_OBJECT
public:
    static constexpr int MessageMs = 8000; // how long a refusal stays shown

    explicit CProfileTableDock(CProfileDocument *document, QWidget *parent = nullptr);

    CProfileTableModel *tableModel() const { return m_model; }
    QTableView *view() const { return m_view; }
    // The engine speed of the last point: the variant's scale.
    void setMaxRpm(double maxRpm);

public slots:
    void copySelection();
    void pasteClipboard();

signals:
    void message(const QString &text);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void takeViewSelection();
    void showModelSelection();
    void showMessage(const QString &text);
    void fitColumns();

    CProfileDocument *m_document;
    CProfileTableModel *m_model;
    QTableView *m_view;
    QLabel *m_messageLabel;
    QTimer m_messageTimer;
    bool m_syncing = false; // one side of the selection is following the other
};
