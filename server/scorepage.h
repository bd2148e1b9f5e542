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
inline constexpr int listLength = 100;

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

// The list page: rank, name, score and date of each entry, every stored text escaped.
std::string renderList(const std::vector<ScoreStore::Entry> &entries);

} // namespace scorepage
