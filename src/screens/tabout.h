#pragma once
#include <QString>
#include <QWidget>

class QLabel;
class TLbBackground;
class TURL;

// The "Ballwick - About" window: created once at start, hidden rather than
// destroyed. Shows the logo, the maker's web address as a link (Label7, opened
// through URL1) and the version, 1.0.2.2 on screen. The label named "version"
// holds the first three parts ("1.0.2"): that is the text the update check
// compares with the server's version.
class Tabout : public QWidget
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *mainWindow);
    ~Tabout() override;

    // The text of the "version" label.
    QString versionText() const;
    // The link opener that points at the maker's home page (the high-score
    // window opens it too).
    TURL *URL1() const { return m_url1; }

public slots:
    void Label7Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();

    QWidget *m_main;
    bool m_placed = false;
    TLbBackground *LbBackground1 = nullptr;
    TURL *m_url1 = nullptr;
    QLabel *m_version = nullptr;
    QLabel *label_year = nullptr;
};
