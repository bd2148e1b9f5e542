#pragma once
#include <QStringList>

#include "widgets/dialogs.h"

namespace ballwick::test {

// Message and question boxes that write down what they were asked instead of
// opening; a question is answered with `answer`.
struct RecordingDialogs : Dialogs
{
    QStringList errors;
    QStringList questions;
    bool answer = false;

    void error(QWidget *, const QString &message) override { errors << message; }
    void errorLater(QWidget *, const QString &message, std::function<void()> closed) override
    {
        errors << message;
        if (closed)
            closed();
    }
    bool confirm(QWidget *, const QString &question) override
    {
        questions << question;
        return answer;
    }
};

} // namespace ballwick::test
