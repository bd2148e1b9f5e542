#include "scorepage.h"

namespace scorepage {

namespace {

bool validUtf8(const std::string &s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        unsigned cp = 0;
        if (c < 0x80) {
            len = 1;
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        const bool overlong = (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool hasControl(const std::string &s)
{
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> validate(const std::string *name, const std::string *date, const std::string *score,
                                    Post &post)
{
    if (!name || !date || !score)
        return "A score post needs name, date and score.";
    if (name->empty())
        return "The name is empty.";
    if (name->size() > maxNameBytes)
        return "The name is longer than " + std::to_string(maxNameBytes) + " bytes.";
    if (!validUtf8(*name) || hasControl(*name))
        return "The name holds characters that cannot be shown.";
    if (date->empty() || date->size() > maxDateChars)
        return "The date must be 1 to " + std::to_string(maxDateChars) + " characters.";
    for (char ch : *date) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c > 0x7E)
            return "The date holds characters that are not printable.";
    }
    // A whole number 0 to maxScore, plain digits (no sign, blank or fraction).
    if (score->empty() || score->size() > 4)
        return "The score must be a whole number from 0 to " + std::to_string(maxScore) + ".";
    int value = 0;
    for (char c : *score) {
        if (c < '0' || c > '9')
            return "The score must be a whole number from 0 to " + std::to_string(maxScore) + ".";
        value = value * 10 + (c - '0');
    }
    if (value > maxScore)
        return "The score must be a whole number from 0 to " + std::to_string(maxScore) + ".";
    post.name = *name;
    post.date = *date;
    post.score = value;
    return std::nullopt;
}

std::string htmlEscape(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

constexpr const char *pageStyle = "font-family: Arial, Helvetica, 'Liberation Sans', 'DejaVu Sans', sans-serif";

std::string pageStart(const std::string &title)
{
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + htmlEscape(title)
        + "</title>\n</head>\n<body bgcolor=\"#F3ECCF\" text=\"#000000\" link=\"#800000\" vlink=\"#421D45\" style=\""
        + pageStyle + "\">\n";
}

const char *pageEnd = "</body>\n</html>\n";

std::string heading(const char *tag, const std::string &text)
{
    return std::string("<") + tag + " align=\"center\"><font color=\"#421D45\">"
        + htmlEscape(text) + "</font></" + tag + ">\n";
}

std::string caption(const Board &board)
{
    const std::size_t n = board.entries.size();
    if (n == 0) {
        if (board.period == "so far")
            return "No scores have been posted yet. Finish a round and send yours!";
        return "No scores posted " + board.period + " yet.";
    }
    if (n == 1)
        return "The best score posted " + board.period + ".";
    return "The best " + std::to_string(n) + " scores posted " + board.period + ".";
}

std::string markLine(const ListPage &page)
{
    std::vector<std::string> places;
    for (const Board &b : page.boards)
        if (b.markRank > 0)
            places.push_back("number " + std::to_string(b.markRank) + " " + (b.period == "so far" ? "of all time" : b.period));
    if (places.empty())
        return {};
    std::string line = "Your score of " + std::to_string(page.mark->score) + " is ";
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0)
            line += i + 1 == places.size() ? " and " : ", ";
        line += places[i];
    }
    return "<p align=\"center\"><b>" + htmlEscape(line + ".")
        + "</b></p>\n";
}

} // namespace

std::string renderList(const ListPage &page)
{
    std::string html;
    html.reserve(4000 + page.boards.size() * boardLength * 220);
    html += pageStart("Ballwick High Scores");
    html += heading("h2", "Ballwick High Scores");
    if (page.mark)
        html += markLine(page);
    const std::int64_t marked = page.mark ? page.mark->id : -1;
    for (const Board &board : page.boards) {
        html += heading("h3", board.heading);
        html += "<p align=\"center\">" + htmlEscape(caption(board)) + "</p>\n";
        if (board.entries.empty())
            continue;
        html += "<table align=\"center\" width=\"94%\" cellspacing=\"0\" cellpadding=\"4\" border=\"0\" style=\""
              + std::string(pageStyle) + "\">\n"
              "<tr bgcolor=\"#421D45\">"
              "<th align=\"right\" width=\"12%\"><font color=\"#E8E3C5\">Rank</font></th>"
              "<th align=\"left\" width=\"50%\"><font color=\"#E8E3C5\">Name</font></th>"
              "<th align=\"right\" width=\"14%\"><font color=\"#E8E3C5\">Score</font></th>"
              "<th align=\"center\" width=\"24%\"><font color=\"#E8E3C5\">Date</font></th></tr>\n";
        int rank = 0;
        for (const auto &e : board.entries) {
            ++rank;
            const char *colour = e.id == marked ? markColour : rank % 2 ? "#F3ECCF" : "#E8E3C5";
            html += std::string("<tr bgcolor=\"") + colour + "\"><td align=\"right\">" + std::to_string(rank)
                  + "</td><td>" + htmlEscape(e.name) + "</td><td align=\"right\"><b>" + std::to_string(e.score)
                  + "</b></td><td align=\"center\">" + htmlEscape(e.date) + "</td></tr>\n";
        }
        html += "</table>\n";
    }
    html += pageEnd;
    return html;
}

std::string renderHome()
{
    std::string html = pageStart("Quendra Software - Ballwick");
    html += heading("h1", "Ballwick");
    html += "<p align=\"center\">Bingo for one, by Quendra Software.</p>\n"
            "<p>Work three cards at once while you reveal the 75 balls one by one. But watch out: Bingo Mox "
            "has swapped five of the balls for his own, and the third of them ends the round. Lines, corners, "
            "crosses, letters and a blackout all score, and the best rounds go on the high-score list.</p>\n"
            "<ul>\n"
            "<li><a href=\"/counter/ballwick.shtml\">The Ballwick high-score list</a>: today's best, the last "
            "7 days and all time.</li>\n"
            "<li><a href=\"/multiplayer/\">Dabfest</a>: Ballwick against other players online.</li>\n"
            "</ul>\n";
    html += pageEnd;
    return html;
}

std::string renderMultiplayer()
{
    std::string html = pageStart("Dabfest - Ballwick Multiplayer");
    html += heading("h1", "Dabfest");
    html += "<p align=\"center\">Ballwick against other players online.</p>\n"
            "<p>In Dabfest every player works three cards of their own while one board of balls is revealed "
            "for the whole table. Daub fast: the first player to finish a design takes its points, and Bingo "
            "Mox's thief balls end the round for everyone.</p>\n"
            "<p>The multiplayer tables are not open on this server yet. Until then, practise with Ballwick Solo "
            "and see how you rank on the <a href=\"/counter/ballwick.shtml\">high-score list</a>.</p>\n"
            "<p><a href=\"/\">Back to the Ballwick home page</a></p>\n";
    html += pageEnd;
    return html;
}

} // namespace scorepage
