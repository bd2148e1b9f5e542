#pragma once
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "screens/screencommon.h"

class QLabel;
class QTextEdit;
class TFlatPanel;
class TSelButton;

// The "Ballwick - Help File" window: created once at start, hidden rather than
// destroyed. The section buttons on the left (SelButton1, SelButton3 to
// SelButton6) each raise the text box "memo" + their tag; the window opens on
// the overview and keeps the last chosen section while hidden.
class Thelp : public ballwick::screens::ScreenWindow
{
    Q_OBJECT
public:
    explicit Thelp(QWidget *mainWindow);
    ~Thelp() override;

    // The about window that the About button shows. When none is given, the
    // button looks for the program's about window among the top-level windows.
    void setAboutWindow(QWidget *about);

    // The section on top now ("memo1" ... "memo6").
    QString currentSection() const;

    // The stored lines of each section, one paragraph per line.
    static QStringList sectionLines(int tag);

    // The size the window opens at: wide enough that every stored line of the
    // written sections fits on one line of the text area.
    QSize defaultSize() const;

public slots:
    // Shared by the five section buttons: raises "memo" + the sender's tag and
    // puts its caption over the text.
    void SelButton1Click();
    void selectSection(TSelButton *button);
    void button_aboutClick();
    void button_doneClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void layoutPanels();

    QPointer<QWidget> m_about;
    TFlatPanel *panel_side = nullptr;
    TFlatPanel *panel_main = nullptr;
    QLabel *label_caption = nullptr;
    QLabel *label_year = nullptr;
    QWidget *m_foot = nullptr;
    TSelButton *button_done = nullptr;
    QList<QTextEdit *> m_memos;
};
