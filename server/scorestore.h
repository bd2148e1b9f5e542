#pragma once
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The posted scores, in one SQLite file (WAL journal, so a reader never waits for
// a writer and a finished post survives a crash of the server). Each row keeps
// the date text the game sent, the server's own time of posting (UTC) and the
// address it came from.
class ScoreStore
{
public:
    struct Entry
    {
        std::int64_t id = 0;
        std::string name;
        std::string date;
        int score = 0;
    };

    ScoreStore() = default;
    ~ScoreStore();
    ScoreStore(const ScoreStore &) = delete;
    ScoreStore &operator=(const ScoreStore &) = delete;

    // Opens (creating when needed) the database file and brings an older table up
    // to date without touching its rows; false and error() on failure.
    bool open(const std::string &path);
    const std::string &error() const { return m_error; }

    bool add(const std::string &name, const std::string &date, int score, const std::string &address = {},
             std::time_t postedAt = std::time(nullptr));
    // The best `limit` scores posted at or after `since` (0: all of them): highest
    // first, equal scores in the order they came.
    std::vector<Entry> top(int limit, std::time_t since = 0);
    // The newest post from `address` at or after `since`.
    std::optional<Entry> newestFrom(const std::string &address, std::time_t since);
    // The place of `entry` among the posts made at or after `since`, 1 for the best;
    // 0 when the entry itself is older.
    std::int64_t rankOf(const Entry &entry, std::time_t since);
    std::int64_t count();

    // The stored form of a posting time: "2026-06-12T18:04:05Z".
    static std::string timestamp(std::time_t t);

private:
    bool exec(const char *sql);
    bool migrate();

    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
    std::string m_error;
};
