#include "scorestore.h"

#include <sqlite3.h>

ScoreStore::~ScoreStore()
{
    if (m_db)
        sqlite3_close(m_db);
}

bool ScoreStore::exec(const char *sql)
{
    char *msg = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        m_error = msg ? msg : sqlite3_errmsg(m_db);
        sqlite3_free(msg);
        return false;
    }
    return true;
}

bool ScoreStore::open(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        m_error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    return exec("PRAGMA journal_mode=WAL;") && exec("PRAGMA synchronous=NORMAL;")
        && exec("CREATE TABLE IF NOT EXISTS scores ("
                " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                " name TEXT NOT NULL,"
                " date TEXT NOT NULL,"
                " score INTEGER NOT NULL,"
                " posted_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ','now')));")
        && exec("CREATE INDEX IF NOT EXISTS scores_rank ON scores(score DESC, id ASC);");
}

bool ScoreStore::add(const std::string &name, const std::string &date, int score)
{
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return false;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, "INSERT INTO scores(name, date, score) VALUES(?1, ?2, ?3)", -1, &st, nullptr)
        != SQLITE_OK) {
        m_error = sqlite3_errmsg(m_db);
        return false;
    }
    sqlite3_bind_text(st, 1, name.data(), int(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, date.data(), int(date.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 3, score);
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    if (!ok)
        m_error = sqlite3_errmsg(m_db);
    sqlite3_finalize(st);
    return ok;
}

std::vector<ScoreStore::Entry> ScoreStore::top(int limit)
{
    std::vector<Entry> out;
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return out;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT id, name, date, score FROM scores ORDER BY score DESC, id ASC LIMIT ?1",
                           -1, &st, nullptr)
        != SQLITE_OK)
        return out;
    sqlite3_bind_int(st, 1, limit);
    while (sqlite3_step(st) == SQLITE_ROW) {
        Entry e;
        e.id = sqlite3_column_int64(st, 0);
        auto text = [st](int col) {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
            return p ? std::string(p, size_t(sqlite3_column_bytes(st, col))) : std::string();
        };
        e.name = text(1);
        e.date = text(2);
        e.score = sqlite3_column_int(st, 3);
        out.push_back(std::move(e));
    }
    sqlite3_finalize(st);
    return out;
}

std::int64_t ScoreStore::count()
{
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return 0;
    sqlite3_stmt *st = nullptr;
    std::int64_t n = 0;
    if (sqlite3_prepare_v2(m_db, "SELECT COUNT(*) FROM scores", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}
