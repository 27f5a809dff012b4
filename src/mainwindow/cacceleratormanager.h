#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenuBar;
class QWidget;

// A menu text as the user reads it, without its mnemonic marker: "&&" is a
// literal '&', a single '&' marks the letter after it.
QString plainText(const QString &text);
QString plainText(const QAction *action);

// Keyboard mnemonics for a menu bar, its menus and their sub-menus. The
// texts stay as the form and the catalogues give them; the marker is put in
// when a text is applied: every time an entry's text changes (a language
// switch, a caption that follows the program's state) or an entry is added
// (the recent files, the workbench's menu), the entries of that menu level
// get their letters again. A level is the menu bar's titles among
// themselves, or the entries of one menu. A text that brings a marker of its
// own keeps it, unless an entry before it already uses that letter.
//
// F10 opens the first menu, as it does in most desktops.
class CAcceleratorManager : public QObject
{
    Q_OBJECT
public:
    explicit CAcceleratorManager(QMenuBar *bar, QObject *parent = nullptr);

    // The texts of one level with their markers: the first free letter that
    // begins a word, else any free letter or digit; a lone '&' that marks
    // nothing becomes "&&". An entry left without a free letter has none.
    static QStringList assign(const QStringList &texts);

    // Assigns the markers of every level again.
    void update();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *level);
    void updateTree(QWidget *top);
    void updateLevel(QWidget *level);
    void openFirstMenu();

    QMenuBar *m_bar;
    bool m_busy = false; // our own text changes come back as events
};
