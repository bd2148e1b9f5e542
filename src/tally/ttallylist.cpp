#include "tally/ttallylist.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QShortcut>
#include <QShowEvent>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "tally/tallystore.h"
#include "widgets/dialogs.h"

#include <ballwick_config.h>
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"
#include "widgets/picture.h"
#include "widgets/timagebutton.h"
#include "widgets/tlbbackground.h"

using ballwick::celltext;
using ballwick::cellbytes;

namespace {

constexpr int kColumns = 14;
constexpr int kRows = 12;
const QColor kBackground(232, 227, 197);
const QColor kPurple(128, 0, 128);
const QColor kRed(255, 0, 0);

// The tally file's name in the data folder (the folder rule moves an older
// copy under the same name).
const QString kTallyFile = QStringLiteral(BALLWICK_APPNAME "tally.tld");

// A decimal integer as the table stores it: leading blanks, an optional sign,
// digits and nothing else, within the range of int.
bool parseint(const std::string &text, int &value)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<int>(v);
    return true;
}

// Line breaks and the end-of-text byte would split a cell when the table is read
// back, shifting every cell after it; they become blanks.
QString onelinetext(QString text)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return text;
}

// The game's face, bold, 13 pixels high.
QFont windowfont()
{
    QFont font = ballwick::uiFont(10, true);
    font.setPixelSize(13);
    return font;
}

template <class Label = QLabel>
Label *makelabel(QWidget *parent, const QString &name, const QString &caption, QRect geometry,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new Label(parent);
    label->setObjectName(name);
    label->setText(caption);
    label->setGeometry(geometry);
    label->setAlignment(align);
    label->setTextFormat(Qt::PlainText);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    return label;
}

// A picture button of the window (126 x 40) that sinks by a pixel while held.
// Without its picture it draws a purple frame with its text, so it stays usable.
TImageButton *picturebutton(QWidget *parent, const char *name, const QString &picture, const QString &text, QPoint at)
{
    auto *b = new TImageButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(QRect(at, QSize(126, 40)));
    b->setPixmap(ballwick::loadPicture(picture));
    b->setSinksWhenDown(true);
    b->setStandIn(text, kPurple);
    return b;
}

} // namespace

Ttallylist::Ttallylist(QWidget *mainWindow, ballwick::Dialogs &dialogs, QString dataDir)
    : QWidget(nullptr, Qt::Window), m_main(mainWindow), m_dialogs(dialogs), m_dataDir(std::move(dataDir))
{
    setObjectName("ttallylist");
    setWindowTitle(QStringLiteral("Ballwick - Tally List"));
    doit.CompressMode = ballwick::TCompressMode::Fast;
    doit.ProcessMessages = [] { QCoreApplication::processEvents(); };
    buildwindow();
    FormCreate();
}

Ttallylist::~Ttallylist()
{
    FormDestroy();
}

QString Ttallylist::tallyfilename() const
{
    return m_dataDir + kTallyFile;
}

void Ttallylist::buildwindow()
{
    setFixedSize(342, 486);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setFont(windowfont());

    // The window's tile holder has no picture: the plain colour shows.
    LbBackground1 = new TLbBackground(this);
    LbBackground1->setObjectName("LbBackground1");

    FlatPanel1 = new TFlatPanel(this);
    FlatPanel1->setObjectName("FlatPanel1");
    FlatPanel1->setTransparent(true);
    FlatPanel1->setGeometry(4, 4, 334, 478);

    auto heading = [this](const char *name, const QString &text, int top) {
        QLabel *label = makelabel(FlatPanel1, QString::fromLatin1(name), text, QRect(0, top, 334, 20),
                                  Qt::AlignCenter);
        QFont f = label->font();
        f.setUnderline(true);
        label->setFont(f);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, kPurple);
        label->setPalette(p);
    };
    heading("label_tallyheading", QStringLiteral("YOUR TALLY LIST"), 10);

    // Counters in two columns, captions right-aligned beside their values.
    struct Counter
    {
        int index;
        const char *caption;
    };
    static const Counter left[] = {{1, "Total Games:"}, {2, "Covered Numbers:"}, {3, "Blackouts:"},
                                   {5, "Crosses:"},     {6, "Squares:"},         {7, "Corners:"},
                                   {12, "Lines:"}};
    static const Counter right[] = {{8, "X:"}, {9, "T:"}, {10, "A:"}, {11, "M:"}, {4, "KUVO:"}};
    auto counter = [this](const Counter &c, int captionLeft, int captionWidth, int top) {
        const Qt::Alignment rightAligned = Qt::AlignRight | Qt::AlignVCenter;
        makelabel(FlatPanel1, QStringLiteral("label_caption%1").arg(c.index), QString::fromLatin1(c.caption),
                  QRect(captionLeft, top, captionWidth, 17), rightAligned);
        mylabel[c.index] = makelabel<Tvaluelabel>(FlatPanel1, QStringLiteral("mylabel_%1").arg(c.index),
                                                  QStringLiteral("0"),
                                                  QRect(captionLeft + captionWidth + 6, top, 56, 17));
    };
    for (int k = 0; k < 7; ++k)
        counter(left[k], 8, 140, 40 + k * 17);
    for (int k = 0; k < 5; ++k)
        counter(right[k], 210, 54, 40 + k * 17);

    heading("label_highheading", QStringLiteral("HIGH SCORES"), 164);

    for (int i = 1; i <= ranks; ++i) {
        const int top = 188 + (i - 1) * 24;
        const Qt::Alignment rightAligned = Qt::AlignRight | Qt::AlignVCenter;
        Rank &r = rank[i];
        r.num = makelabel(FlatPanel1, QStringLiteral("label_num%1").arg(i), QStringLiteral("%1.").arg(i),
                          QRect(4, top, 30, 20), rightAligned);
        // The name column holds ten of the widest letters (WWWWWWWWWW).
        r.date = makelabel(FlatPanel1, QStringLiteral("label_date%1").arg(i), QString(), QRect(38, top, 84, 20));
        r.name = makelabel(FlatPanel1, QStringLiteral("label_name%1").arg(i), QString(), QRect(122, top, 136, 20));
        r.high = makelabel<Tvaluelabel>(FlatPanel1, QStringLiteral("label_high%1").arg(i), QString(),
                                        QRect(258, top, 68, 20), rightAligned);
        r.high->setValue(emptyscore);
    }

    button_resettally = picturebutton(FlatPanel1, "button_resettally", QStringLiteral(":/images/button_reset.png"),
                                      QStringLiteral("Reset"), QPoint(30, 430));
    connect(button_resettally, &TImageButton::clicked, this, &Ttallylist::button_resetClick);
    button_done = picturebutton(FlatPanel1, "button_done", QStringLiteral(":/images/button_done.png"),
                                QStringLiteral("Done"), QPoint(178, 430));
    connect(button_done, &TImageButton::clicked, this, &Ttallylist::button_doneClick);
    // Escape closes the window as Done does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Ttallylist::button_doneClick);
}

void Ttallylist::showEvent(QShowEvent *event)
{
    // The first time it opens, the window stands centred over the main window;
    // afterwards it reopens where the player left it.
    if (!m_placed && m_main) {
        m_placed = true;
        move(m_main->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::showEvent(event);
}

void Ttallylist::settablecell(int col, int row, const QString &text)
{
    stringgrid_scores.setCell(col, row, cellbytes(text));
}

void Ttallylist::reporterror(const QString &message)
{
    m_dialogs.error(m_main, message);
}

QString Ttallylist::keepbadfile(const QString &fileName)
{
    QString bad = fileName + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(bad) || QFileInfo(bad).isSymLink(); ++n)
        bad = fileName + QStringLiteral(".bad.%1").arg(n);
    return QFile::rename(fileName, bad) ? bad : QString();
}

void Ttallylist::FormCreate()
{
    if (m_busy)
        return;
    m_busy = true;
    stringgrid_scores.resize(kColumns, kRows);
    for (int c = 0; c <= counters; ++c)
        stringgrid_scores.setCell(c, 0, "0");
    for (int r = 1; r <= ranks; ++r) {
        stringgrid_scores.setCell(0, r, "");
        stringgrid_scores.setCell(1, r, std::to_string(emptyscore));
        stringgrid_scores.setCell(2, r, "");
    }

    const QString fileName = tallyfilename();
    QString failure;
    if (QFileInfo::exists(fileName)) {
        try {
            ballwick::loadtallyfile(doit, stringgrid_scores, fileName);
            for (int i = 1; i <= counters; ++i) {
                const std::string &text = stringgrid_scores.cell(i, 0);
                int value;
                if (!text.empty() && !parseint(text, value))
                    throw ballwick::ETallyLoad(ballwick::ETallyLoad::Cause::File,
                                               "'" + text + "' is not a valid integer value");
            }
        } catch (const ballwick::ETallyLoad &e) {
            failure = celltext(e.what());
            if (e.cause() == ballwick::ETallyLoad::Cause::File) {
                // Whatever the player had stays on disk beside the new tally.
                const QString bad = keepbadfile(fileName);
                if (bad.isEmpty()) {
                    m_keepfile = true;
                    failure += QStringLiteral("\n\nThe tally file %1 could not be moved aside; it is left "
                                              "as it is and this session's tally will not be saved.")
                                   .arg(QDir::toNativeSeparators(fileName));
                } else {
                    failure += QStringLiteral("\n\nThe unreadable tally file was kept as %1.")
                                   .arg(QDir::toNativeSeparators(bad));
                }
            } else {
                // It could not be read at all (not a regular file, no
                // permission): whatever it is stays untouched.
                m_keepfile = true;
                failure += QStringLiteral("\n\nIt is left as it is and this session's tally will not be saved.");
            }
        }
        // A file holding a smaller table still leaves room for every counter
        // and rank.
        stringgrid_scores.resize(std::max(stringgrid_scores.colCount(), kColumns),
                                 std::max(stringgrid_scores.rowCount(), kRows));
    }
    loadtally();
    m_busy = false;
    if (!failure.isEmpty())
        reporterror(failure);
}

void Ttallylist::FormDestroy()
{
    if (m_busy || m_keepfile)
        return;
    m_busy = true;
    removeleftovers();
    // A failure leaves the previous tally file whole; the player hears of it
    // once, since this round's tally is lost.
    const QString fileName = tallyfilename();
    QString why;
    const bool saved = ballwick::savetallyfile(doit, stringgrid_scores, fileName, &why);
    m_busy = false;
    if (!saved)
        reporterror(QStringLiteral("The tally could not be saved to %1: %2\n\nThe tally file from before this "
                                   "session is left as it was.")
                        .arg(QDir::toNativeSeparators(fileName), why));
}

void Ttallylist::removeleftovers()
{
    // A save that was killed before its rename leaves the new file's copy
    // beside the tally, named after it with six more characters. One that is
    // older than a minute belongs to no save still running.
    const QFileInfo tally(tallyfilename());
    const QDir dir = tally.absoluteDir();
    const QRegularExpression name(QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(tally.fileName())));
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QFileInfoList found = dir.entryInfoList({tally.fileName() + QStringLiteral(".??????")},
                                                  QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &leftover : found)
        if (name.match(leftover.fileName()).hasMatch() && leftover.lastModified().toUTC() < old)
            QFile::remove(leftover.absoluteFilePath());
}

void Ttallylist::loadtally()
{
    for (int i = 1; i <= counters; ++i) {
        int value = 0;
        if (!parseint(stringgrid_scores.cell(i, 0), value)) {
            value = 0;
            stringgrid_scores.setCell(i, 0, "0");
        }
        mylabel[i]->setText(celltext(stringgrid_scores.cell(i, 0)));
        mylabel[i]->setValue(value);
    }
    for (int i = 1; i <= ranks; ++i) {
        if (stringgrid_scores.cell(1, i).empty())
            stringgrid_scores.setCell(1, i, std::to_string(emptyscore));
        rank[i].date->setText(celltext(stringgrid_scores.cell(0, i)));
        rank[i].name->setText(celltext(stringgrid_scores.cell(2, i)));
        int score = emptyscore;
        if (!parseint(stringgrid_scores.cell(1, i), score))
            score = emptyscore;
        rank[i].high->setValue(score);
        rank[i].high->setText(score <= emptyscore ? QString() : celltext(stringgrid_scores.cell(1, i)));
    }
}

void Ttallylist::addtomineincrease(int index)
{
    if (index < 1 || index > counters)
        return;
    int value = 0;
    if (!parseint(stringgrid_scores.cell(index, 0), value))
        value = 0;
    if (value < INT_MAX)
        ++value;
    const QString text = QString::number(value);
    settablecell(index, 0, text);
    mylabel[index]->setText(text);
    // The number beside the caption follows the table, so that whoever reads it
    // sees what the label shows.
    mylabel[index]->setValue(value);
}

void Ttallylist::addtomineset(int index, const QString &value)
{
    if (index < 1 || index > counters)
        return;
    const QString text = onelinetext(value);
    settablecell(index, 0, text);
    mylabel[index]->setText(text);
    int number = 0;
    if (parseint(cellbytes(text), number))
        mylabel[index]->setValue(number);
}

int Ttallylist::bestcovered() const
{
    return mylabel[2]->value();
}

void Ttallylist::setrowstyle(int r, const QColor &colour, bool bold)
{
    for (QLabel *label : {static_cast<QLabel *>(rank[r].num), rank[r].date, rank[r].name,
                          static_cast<QLabel *>(rank[r].high)}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
        QFont f = label->font();
        f.setBold(bold);
        label->setFont(f);
    }
}

void Ttallylist::copyrank(int from, int to)
{
    rank[to].high->setValue(rank[from].high->value());
    rank[to].high->setText(rank[from].high->text());
    rank[to].date->setText(rank[from].date->text());
    rank[to].name->setText(rank[from].name->text());
    for (int c = 0; c <= 2; ++c)
        stringgrid_scores.setCell(c, to, stringgrid_scores.cell(c, from));
}

bool Ttallylist::checkscore(int score, const QString &name)
{
    for (int r = 1; r <= ranks; ++r)
        setrowstyle(r, Qt::black, false);

    int p = 1;
    while (p <= ranks && rank[p].high->value() > score)
        ++p;
    if (p > ranks)
        return false;

    // The newest of equal scores ranks first; the old rank 10 drops out.
    for (int r = ranks - 1; r >= p; --r)
        copyrank(r, r + 1);

    const QString date = onelinetext(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    rank[p].high->setValue(score);
    rank[p].high->setText(QString::number(score));
    rank[p].date->setText(date);
    rank[p].name->setText(onelinetext(name));
    setrowstyle(p, kRed, true);

    settablecell(0, p, rank[p].date->text());
    settablecell(1, p, rank[p].high->text());
    settablecell(2, p, rank[p].name->text());
    return true;
}

void Ttallylist::button_resetClick()
{
    if (!m_dialogs.confirm(this, QStringLiteral("Are you sure you want to reset the Tally?")))
        return;

    stringgrid_scores.setRowCount(kRows);
    for (int i = 1; i <= counters; ++i) {
        mylabel[i]->setText(QStringLiteral("0"));
        mylabel[i]->setValue(0);
        stringgrid_scores.setCell(i, 0, "0");
    }
    for (int r = 1; r < stringgrid_scores.rowCount(); ++r) {
        stringgrid_scores.setCell(0, r, "");
        stringgrid_scores.setCell(1, r, std::to_string(emptyscore));
        stringgrid_scores.setCell(2, r, "");
    }
    for (int r = 1; r <= ranks; ++r) {
        rank[r].date->clear();
        rank[r].high->clear();
        rank[r].name->clear();
        rank[r].high->setValue(emptyscore);
        setrowstyle(r, Qt::black, false);
    }
}

void Ttallylist::button_doneClick()
{
    hide();
}
