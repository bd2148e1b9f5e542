// What the events of the round look like in the main window: captions, font
// colours, ball pictures, the thief counter, the overlay panels and what a
// screen reader is told.

#include "app/tmain.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>

#include "app/board.h"
#include "app/maincolours.h"
#include "app/pictures.h"
#include "tally/ttallylist.h"
#include "widgets/accessible.h"
#include "widgets/tflatpanel.h"

namespace {

// Font colours of a card cell.
const QColor cellBlack(0x00, 0x00, 0x00);
const QColor cellRed(0xFF, 0x00, 0x00);
const QColor cellGrey(0x80, 0x80, 0x80);

} // namespace

void Tmain::addtomineincrease(int index)
{
    if (tallylist)
        tallylist->addtomineincrease(index);
}

void Tmain::addtomineset(int index, const std::string &value)
{
    if (tallylist)
        tallylist->addtomineset(index, QString::fromStdString(value));
}

int Tmain::bestcovered() const
{
    return tallylist ? tallylist->bestcovered() : 0;
}

bool Tmain::checkscore(int score, const std::string &name)
{
    return tallylist ? tallylist->checkscore(score, QString::fromStdString(name)) : false;
}

void Tmain::playsounds(const std::string &name)
{
    playsounds(QString::fromStdString(name));
}

std::string Tmain::playername() const
{
    return edit_name->text().toStdString();
}

void Tmain::clearscores()
{
    listbox_scores->clear();
}

void Tmain::addscoreline(const std::string &line)
{
    listbox_scores->addItem(QString::fromStdString(line));
}

void Tmain::roundstarting()
{
    button_start->setVisible(false);
}

void Tmain::postingclosed()
{
    panel_wait->setVisible(false);
    panel_name->setVisible(false);
}

void Tmain::resultclosed()
{
    panel_cleared->setVisible(false);
}

void Tmain::greetplayer()
{
    label_name->setText(QStringLiteral("Good Luck ") + edit_name->text());
}

void Tmain::slotcleared(int slot)
{
    drawball(slot);
}

void Tmain::balldealt(int slot)
{
    drawball(slot);
}

void Tmain::ballshown(int slot, int)
{
    drawball(slot);
}

void Tmain::thiefballshown(int slot)
{
    drawball(slot);
}

void Tmain::thiefcountchanged(int count)
{
    drawmox(count);
}

void Tmain::bigballchanged(int number)
{
    // A thief ball shows as his picture over an empty big ball.
    label_bigball->setText(QString::fromStdString(ballwick::Engine::ballcaption(number)));
    announcebigball(true);
    image_moxball->setVisible(number == ballwick::thiefball);
    announcebigball(false);
}

void Tmain::bigballshown()
{
    panel_bigball->setVisible(true);
}

void Tmain::cellchanged(int card, int column, int row, ballwick::CellState state, int number)
{
    QLabel *l = cardlabel(card, column, row);
    if (!l)
        return;
    using ballwick::CellState;
    QString caption;
    if (state == CellState::covered)
        caption = QStringLiteral("X");
    else if (state != CellState::blank)
        caption = QString::number(number);
    l->setText(caption);
    ballwick::setTextColour(l, state == CellState::covered  ? cellRed
                     : state == CellState::missed ? cellGrey
                                                  : cellBlack);
    m_cellstates[card - 1][column - 1][row - 1] = state;
    l->setAccessibleName(cellname(card, column, row));
}

void Tmain::scorechanged(int score)
{
    label_score->setText(QStringLiteral("Score: %1").arg(score));
    ballwick::announceChange(*m_services.accessibility, label_score);
}

void Tmain::roundover(int score)
{
    panel_cleared->setVisible(true);
    button_start->setVisible(true);
    panel_cleared->raise();
    scorechanged(score);
    label_score1->setText(QStringLiteral("Your Score: %1").arg(score));
    ballwick::announceChange(*m_services.accessibility, label_score1);
}

void Tmain::scoresendable()
{
    button_sendscore->setVisible(true);
}

void Tmain::drawball(int slot)
{
    // The paint rule draws every slot from the board state.
    if (slot >= 0 && slot < ballwick::slotcount) {
        paintbox_board->update(ballwick::slotleft(slot), ballwick::slottop(slot), ballwick::slotsize,
                               ballwick::slotsize);
        paintbox_board->slotChanged(slot);
    }
}

void Tmain::drawmox(int found)
{
    if (found < 0 || found > 3)
        return;
    image_mox->setPixmap(imagelist_mox(found));
    image_mox->setAccessibleName(found == 0 ? QStringLiteral("Bingo Mox")
                                            : QStringLiteral("Bingo Mox balls found: %1 of 3").arg(found));
}

void Tmain::announcebigball(bool captionset)
{
    // The big ball reads as its caption, or as the thief's ball while his
    // picture lies over it. A new caption is always told (two thief balls in a
    // row give the same words); showing or hiding his picture only when that
    // changes the words.
    QString name = label_bigball->text();
    const int found = m_engine ? m_engine->state().moxcount : 0;
    if (name.isEmpty() && image_moxball->isVisibleTo(this) && found > 0)
        name = QStringLiteral("Bingo Mox ball, %1 of 3").arg(found);
    const bool changed = name != label_bigball->accessibleName();
    label_bigball->setAccessibleName(name);
    if (!name.isEmpty() && (captionset || changed))
        ballwick::announceChange(*m_services.accessibility, label_bigball);
}
