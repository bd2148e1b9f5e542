#include "widgets/dialogs.h"

#include <QMessageBox>

namespace ballwick {

namespace {
const QString title = QStringLiteral("Ballwick");
}

void MessageBoxes::error(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MessageBoxes::errorLater(QWidget *parent, const QString &message, std::function<void()> closed)
{
    // Window-modal and opened without a nested event loop, so that the caller
    // (a timer's slot, say) returns and its later steps keep running.
    auto *box = new QMessageBox(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("errorbox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    QObject::connect(box, &QDialog::finished, box, [closed = std::move(closed)] {
        if (closed)
            closed();
    });
    box->open();
}

bool MessageBoxes::confirm(QWidget *parent, const QString &question)
{
    return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace ballwick
