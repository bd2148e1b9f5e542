#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace ballwick {

// The program's message and question boxes, all titled "Ballwick". main()
// hands the real ones to every window that asks something of the player;
// tests hand in a recorder.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // An error box over parent; returns once it is dismissed. The message may
    // quote a file's or a server's text and is shown as plain text.
    virtual void error(QWidget *parent, const QString &message) = 0;
    // The same box without waiting: it opens window-modal and this returns at
    // once; closed (if set) runs once it is dismissed.
    virtual void errorLater(QWidget *parent, const QString &message, std::function<void()> closed) = 0;
    // A Yes/No question, No by default; true for Yes.
    virtual bool confirm(QWidget *parent, const QString &question) = 0;
};

// Qt's message boxes.
class MessageBoxes : public Dialogs
{
public:
    void error(QWidget *parent, const QString &message) override;
    void errorLater(QWidget *parent, const QString &message, std::function<void()> closed) override;
    bool confirm(QWidget *parent, const QString &question) override;
};

} // namespace ballwick
