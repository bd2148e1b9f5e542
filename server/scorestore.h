#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

// The posted scores, in one SQLite file (WAL journal, so a reader never waits for
// a writer and a finished post survives a crash of the server).
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

    // Opens (creating when needed) the database file; false and error() on failure.
    bool open(const std::string &path);
    const std::string &error() const { return m_error; }

    bool add(const std::string &name, const std::string &date, int score);
    // The best `limit` scores: highest first, equal scores in the order they came.
    std::vector<Entry> top(int limit);
    std::int64_t count();

private:
    bool exec(const char *sql);

    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
    std::string m_error;
};
