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

std::string renderList(const std::vector<ScoreStore::Entry> &entries)
{
    std::string html;
    html.reserve(600 + entries.size() * 220);
    html += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>Ballwick High Scores</title>\n</head>\n"
            "<body bgcolor=\"#F3ECCF\" text=\"#000000\">\n"
            "<h2 align=\"center\"><font color=\"#421D45\">Ballwick High Scores</font></h2>\n";
    if (entries.empty()) {
        html += "<p align=\"center\">No scores have been posted yet. Finish a round and send yours!</p>\n";
    } else {
        html += "<p align=\"center\">The best " + std::to_string(entries.size())
              + (entries.size() == 1 ? " score" : " scores") + " posted so far.</p>\n"
              "<table align=\"center\" width=\"94%\" cellspacing=\"0\" cellpadding=\"4\" border=\"0\">\n"
              "<tr bgcolor=\"#421D45\">"
              "<th align=\"right\"><font color=\"#E8E3C5\">Rank</font></th>"
              "<th align=\"left\"><font color=\"#E8E3C5\">Name</font></th>"
              "<th align=\"right\"><font color=\"#E8E3C5\">Score</font></th>"
              "<th align=\"center\"><font color=\"#E8E3C5\">Date</font></th></tr>\n";
        int rank = 0;
        for (const auto &e : entries) {
            ++rank;
            html += rank % 2 ? "<tr bgcolor=\"#F3ECCF\">" : "<tr bgcolor=\"#E8E3C5\">";
            html += "<td align=\"right\">" + std::to_string(rank) + "</td><td>" + htmlEscape(e.name)
                  + "</td><td align=\"right\"><b>" + std::to_string(e.score) + "</b></td><td align=\"center\">"
                  + htmlEscape(e.date) + "</td></tr>\n";
        }
        html += "</table>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

} // namespace scorepage
