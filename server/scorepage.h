#pragma once
#include "scorestore.h"

#include <optional>
#include <string>
#include <vector>

namespace scorepage {

// Limits of a score post.
inline constexpr std::size_t maxNameBytes = 64;
inline constexpr std::size_t maxDateChars = 16;
inline constexpr int maxScore = 1250; // every cell and every design on all three cards
inline constexpr int boardLength = 25;

struct Post
{
    std::string name;
    std::string date;
    int score = 0;
};

// Checks the decoded name, date and score of a post. On success fills `post` and
// returns nothing; otherwise returns the reason, a line for the player.
std::optional<std::string> validate(const std::string *name, const std::string *date, const std::string *score,
                                    Post &post);

std::string htmlEscape(const std::string &text);

// One of the list page's boards: its heading, how its caption names the period
// ("today", "in the last 7 days", "so far") and its entries, best first.
struct Board
{
    std::string heading;
    std::string period;
    std::vector<ScoreStore::Entry> entries;
    std::int64_t markRank = 0; // place of the marked post on this board's period; 0: not in it
};

struct ListPage
{
    std::vector<Board> boards;
    std::optional<ScoreStore::Entry> mark; // the requesting player's newest post
};

// The list page: rank, name, score and date of each entry, every stored text
// escaped; the marked post's rows are highlighted. It holds no links (the game
// shows it in a window of its own, where a click would leave the game).
std::string renderList(const ListPage &page);
inline constexpr const char *markColour = "#FFD966";

// The maker's home page and the multiplayer page (absolute paths to each other).
std::string renderHome();
std::string renderMultiplayer();

} // namespace scorepage
