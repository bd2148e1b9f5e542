#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "game/scoring.h"

using namespace ballwick;

namespace {

using Cell = std::pair<int, int>; // (column, row)

// Three dealt cards with only the free centres covered.
CardTags freshcards()
{
    CardTags tags{};
    for (int card = 0; card < 3; ++card)
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row)
                tags[card][column][row] = (column == 2 && row == 2) ? 0 : column * 15 + row + 1;
    return tags;
}

void cover(CardTags &tags, int card, const std::vector<Cell> &cells)
{
    for (auto [column, row] : cells)
        tags[card - 1][column - 1][row - 1] = 0;
}

void coverall(CardTags &tags, int card)
{
    for (int column = 1; column <= 5; ++column)
        for (int row = 1; row <= 5; ++row)
            tags[card - 1][column - 1][row - 1] = 0;
}

std::vector<std::string> lines(const ScorePass &pass)
{
    std::vector<std::string> out{pass.coveredline()};
    for (const auto &a : pass.awards)
        out.push_back(a.line);
    return out;
}

int pointsof(const ScorePass &pass)
{
    int sum = pass.covered;
    for (const auto &a : pass.awards)
        sum += a.points;
    return sum;
}

const std::vector<Cell> columnthree = {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}};
const std::vector<Cell> letterM = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {5, 1}, {5, 2}, {5, 3},
                                   {5, 4}, {5, 5}, {2, 2}, {4, 2}};
const std::vector<Cell> letterA = {{1, 3}, {1, 4}, {1, 5}, {5, 3}, {5, 4}, {5, 5},
                                   {2, 3}, {4, 3}, {2, 2}, {3, 1}, {4, 2}};
const std::vector<Cell> letterT = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {3, 2}, {3, 4}, {3, 5}};

} // namespace

TEST(Scoring, NothingDaubedScoresTheThreeFreeCentres)
{
    const ScorePass pass = scorepass(freshcards());
    EXPECT_EQ(pass.score, 3);
    EXPECT_EQ(pass.covered, 3);
    EXPECT_EQ(lines(pass), std::vector<std::string>{"Covered: 3"});
    EXPECT_EQ(pass.letterfound, (std::array<bool, 3>{false, false, false}));
}

TEST(Scoring, OneFullCardScores452WithEveryDesignInOrder)
{
    CardTags tags = freshcards();
    coverall(tags, 2);
    const ScorePass pass = scorepass(tags);
    EXPECT_EQ(pass.covered, 27);
    EXPECT_EQ(pass.score, 452);
    EXPECT_EQ(pointsof(pass), 452);
    std::vector<std::string> expected = {
        "Covered: 27",      "Card 2 Blackout: 100", "Card 2 M: 25",      "Card 2 A: 25",
        "Card 2 T: 25",     "KUVO: 50",             "Card 2 SQUARE: 25", "Card 2 X: 20",
        "Card 2 CROSS: 20", "Card 2 CORNERS: 15"};
    for (int i = 0; i < 5; ++i)
        expected.push_back("Card 2 Vertical  LINE: 10");
    for (int i = 0; i < 5; ++i)
        expected.push_back("Card 2 Horizontal  LINE: 10");
    expected.push_back("Card 2 Diagonal LINE: 10");
    expected.push_back("Card 2 Diagonal LINE: 10");
    EXPECT_EQ(lines(pass), expected);

    std::vector<int> entries;
    for (const auto &a : pass.awards)
        entries.push_back(a.entry);
    std::vector<int> expectedentries = {3, 11, 10, 9, 4, 6, 8, 5, 7};
    expectedentries.insert(expectedentries.end(), 12, 12);
    EXPECT_EQ(entries, expectedentries);
}

TEST(Scoring, ThreeFullCardsScore1250WithKuvoOnce)
{
    CardTags tags = freshcards();
    for (int card = 1; card <= 3; ++card)
        coverall(tags, card);
    const ScorePass pass = scorepass(tags);
    EXPECT_EQ(pass.score, 1250);
    EXPECT_EQ(pass.covered, 75);
    const std::vector<std::string> got = lines(pass);
    EXPECT_EQ(std::count(got.begin(), got.end(), "KUVO: 50"), 1);
    EXPECT_EQ(pass.awards.size(), 3u * 20 + 1);
    // Blackouts of cards 1, 2, 3 come first, then the Ms.
    EXPECT_EQ(pass.awards[0].line, "Card 1 Blackout: 100");
    EXPECT_EQ(pass.awards[2].line, "Card 3 Blackout: 100");
    EXPECT_EQ(pass.awards[3].line, "Card 1 M: 25");
}

TEST(Scoring, TopRowAndLeftColumnOfCardTwoScore32)
{
    CardTags tags = freshcards();
    cover(tags, 2, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}});
    const ScorePass pass = scorepass(tags);
    EXPECT_EQ(lines(pass), (std::vector<std::string>{"Covered: 12", "Card 2 Vertical  LINE: 10",
                                                     "Card 2 Horizontal  LINE: 10"}));
    EXPECT_EQ(pass.score, 32);
}

TEST(Scoring, SmallDesigns)
{
    {
        SCOPED_TRACE("column 3 alone: a line, neither T nor cross");
        CardTags tags = freshcards();
        cover(tags, 1, columnthree);
        const ScorePass pass = scorepass(tags);
        EXPECT_EQ(lines(pass), (std::vector<std::string>{"Covered: 7", "Card 1 Vertical  LINE: 10"}));
        EXPECT_EQ(pass.score, 17);
    }
    {
        SCOPED_TRACE("column 3 and row 3: the cross and two lines");
        CardTags tags = freshcards();
        cover(tags, 3, columnthree);
        cover(tags, 3, {{1, 3}, {2, 3}, {4, 3}, {5, 3}});
        const ScorePass pass = scorepass(tags);
        EXPECT_EQ(lines(pass), (std::vector<std::string>{"Covered: 11", "Card 3 CROSS: 20",
                                                         "Card 3 Vertical  LINE: 10",
                                                         "Card 3 Horizontal  LINE: 10"}));
        EXPECT_EQ(pass.score, 51);
    }
    {
        SCOPED_TRACE("both diagonals: the X, the corners they hold and two diagonal lines");
        CardTags tags = freshcards();
        cover(tags, 1, {{1, 1}, {2, 2}, {4, 4}, {5, 5}, {1, 5}, {2, 4}, {4, 2}, {5, 1}});
        const ScorePass pass = scorepass(tags);
        EXPECT_EQ(lines(pass), (std::vector<std::string>{"Covered: 11", "Card 1 X: 20", "Card 1 CORNERS: 15",
                                                         "Card 1 Diagonal LINE: 10",
                                                         "Card 1 Diagonal LINE: 10"}));
        EXPECT_EQ(pass.score, 66);
    }
    {
        SCOPED_TRACE("the four corners alone");
        CardTags tags = freshcards();
        cover(tags, 2, {{1, 1}, {5, 1}, {1, 5}, {5, 5}});
        const ScorePass pass = scorepass(tags);
        EXPECT_EQ(lines(pass), (std::vector<std::string>{"Covered: 7", "Card 2 CORNERS: 15"}));
        EXPECT_EQ(pass.score, 22);
    }
    {
        SCOPED_TRACE("the square: its corners and four lines come with it");
        CardTags tags = freshcards();
        for (int k = 1; k <= 5; ++k)
            cover(tags, 1, {{k, 1}, {k, 5}, {1, k}, {5, k}});
        const ScorePass pass = scorepass(tags);
        EXPECT_EQ(pass.covered, 19);
        EXPECT_EQ(lines(pass)[1], "Card 1 SQUARE: 25");
        EXPECT_EQ(lines(pass)[2], "Card 1 CORNERS: 15");
        EXPECT_EQ(pass.score, 19 + 25 + 15 + 4 * 10);
    }
}

TEST(Scoring, LettersNeedEveryCellOfTheirShape)
{
    struct Letter {
        const char *line;
        const std::vector<Cell> *cells;
        int flag;
    };
    for (const Letter &letter : {Letter{"Card 1 M: 25", &letterM, 2}, Letter{"Card 1 A: 25", &letterA, 1},
                                 Letter{"Card 1 T: 25", &letterT, 0}}) {
        SCOPED_TRACE(letter.line);
        CardTags tags = freshcards();
        cover(tags, 1, *letter.cells);
        ScorePass pass = scorepass(tags);
        ASSERT_GE(pass.awards.size(), 1u);
        EXPECT_EQ(pass.awards[0].line, letter.line);
        EXPECT_TRUE(pass.letterfound[letter.flag]);
        EXPECT_EQ(pass.letterfound[0] + pass.letterfound[1] + pass.letterfound[2], 1);

        for (auto [column, row] : *letter.cells) {
            CardTags missing = tags;
            missing[0][column - 1][row - 1] = 99;
            pass = scorepass(missing);
            for (const auto &a : pass.awards)
                EXPECT_NE(a.line, letter.line) << "without (" << column << ", " << row << ")";
        }
    }
    // Exact totals: M brings the corners and two column lines, A the middle row, T a column and a row.
    CardTags m = freshcards(), a = freshcards(), t = freshcards();
    cover(m, 1, letterM);
    cover(a, 1, letterA);
    cover(t, 1, letterT);
    EXPECT_EQ(scorepass(m).score, 3 + 12 + 25 + 15 + 20);
    EXPECT_EQ(scorepass(a).score, 3 + 11 + 25 + 10);
    EXPECT_EQ(scorepass(t).score, 3 + 8 + 25 + 20);
}

TEST(Scoring, KuvoNeedsTAndAAndMAnywhere)
{
    CardTags tags = freshcards();
    cover(tags, 1, letterT);
    cover(tags, 2, letterA);
    ScorePass pass = scorepass(tags);
    for (const auto &a : pass.awards)
        EXPECT_NE(a.line, "KUVO: 50");
    EXPECT_EQ(pass.letterfound, (std::array<bool, 3>{true, true, false}));

    for (int card : {1, 3}) {
        SCOPED_TRACE(card);
        CardTags withm = tags;
        cover(withm, card, letterM);
        pass = scorepass(withm);
        const std::vector<std::string> got = lines(pass);
        // The KUVO line follows the letters and precedes the squares.
        auto kuvo = std::find(got.begin(), got.end(), "KUVO: 50");
        ASSERT_NE(kuvo, got.end());
        EXPECT_EQ(std::count(got.begin(), got.end(), "KUVO: 50"), 1);
        EXPECT_EQ(*(kuvo - 1), "Card 1 T: 25");
        EXPECT_EQ(pass.awards[kuvo - got.begin() - 1].entry, entry_kuvo);
    }
}

TEST(Scoring, LinesRunCardByCardColumnsRowsThenDiagonals)
{
    CardTags tags = freshcards();
    cover(tags, 3, {{4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}});
    cover(tags, 1, {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}});
    cover(tags, 1, {{1, 5}, {2, 4}, {4, 2}, {5, 1}});
    EXPECT_EQ(lines(scorepass(tags)),
              (std::vector<std::string>{"Covered: 16", "Card 1 Horizontal  LINE: 10", "Card 1 Diagonal LINE: 10",
                                        "Card 3 Vertical  LINE: 10"}));
}
