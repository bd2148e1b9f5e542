#include "scorestore.h"

#include <sqlite3.h>

#include <set>

namespace {

// A prepared statement that finalizes itself.
struct Statement
{
    sqlite3_stmt *st = nullptr;
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    explicit operator bool() const { return st != nullptr; }
    void bind(int i, const std::string &s) { sqlite3_bind_text(st, i, s.data(), int(s.size()), SQLITE_TRANSIENT); }
    void bind(int i, std::int64_t v) { sqlite3_bind_int64(st, i, v); }
    std::string text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
        return p ? std::string(p, std::size_t(sqlite3_column_bytes(st, col))) : std::string();
    }
    ScoreStore::Entry entry() const
    {
        ScoreStore::Entry e;
        e.id = sqlite3_column_int64(st, 0);
        e.name = text(1);
        e.date = text(2);
        e.score = sqlite3_column_int(st, 3);
        return e;
    }
};

} // namespace

ScoreStore::~ScoreStore()
{
    if (m_db)
        sqlite3_close(m_db);
}

std::string ScoreStore::timestamp(std::time_t t)
{
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
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
                " posted_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ','now')),"
                " address TEXT NOT NULL DEFAULT '');")
        && migrate() && exec("CREATE INDEX IF NOT EXISTS scores_rank ON scores(score DESC, id ASC);")
        && exec("CREATE INDEX IF NOT EXISTS scores_posted ON scores(posted_at);")
        && exec("CREATE INDEX IF NOT EXISTS scores_address ON scores(address, id);");
}

// Tables written by earlier servers lack the newer columns; they are added in
// place, every row kept. A row without a posting time counts only for all time.
bool ScoreStore::migrate()
{
    std::set<std::string> columns;
    {
        Statement info(m_db, "PRAGMA table_info(scores)");
        if (!info) {
            m_error = sqlite3_errmsg(m_db);
            return false;
        }
        while (sqlite3_step(info.st) == SQLITE_ROW)
            columns.insert(info.text(1));
    }
    if (columns.count("posted_at") && columns.count("address"))
        return true;
    if (!exec("BEGIN IMMEDIATE;"))
        return false;
    const bool ok = (columns.count("posted_at") || exec("ALTER TABLE scores ADD COLUMN posted_at TEXT NOT NULL DEFAULT '';"))
        && (columns.count("address") || exec("ALTER TABLE scores ADD COLUMN address TEXT NOT NULL DEFAULT '';"));
    if (!ok) {
        exec("ROLLBACK;");
        return false;
    }
    return exec("COMMIT;");
}

bool ScoreStore::add(const std::string &name, const std::string &date, int score, const std::string &address,
                     std::time_t postedAt)
{
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return false;
    Statement st(m_db, "INSERT INTO scores(name, date, score, posted_at, address) VALUES(?1, ?2, ?3, ?4, ?5)");
    if (!st) {
        m_error = sqlite3_errmsg(m_db);
        return false;
    }
    st.bind(1, name);
    st.bind(2, date);
    st.bind(3, std::int64_t(score));
    st.bind(4, timestamp(postedAt));
    st.bind(5, address);
    const bool ok = sqlite3_step(st.st) == SQLITE_DONE;
    if (!ok)
        m_error = sqlite3_errmsg(m_db);
    return ok;
}

std::vector<ScoreStore::Entry> ScoreStore::top(int limit, std::time_t since)
{
    std::vector<Entry> out;
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return out;
    // All time reads the ranking index alone; a window reads its own rows.
    Statement st(m_db, since > 0 ? "SELECT id, name, date, score FROM scores WHERE posted_at >= ?2"
                                   " ORDER BY score DESC, id ASC LIMIT ?1"
                                 : "SELECT id, name, date, score FROM scores ORDER BY score DESC, id ASC LIMIT ?1");
    if (!st)
        return out;
    st.bind(1, std::int64_t(limit));
    if (since > 0)
        st.bind(2, timestamp(since));
    while (sqlite3_step(st.st) == SQLITE_ROW)
        out.push_back(st.entry());
    return out;
}

std::optional<ScoreStore::Entry> ScoreStore::newestFrom(const std::string &address, std::time_t since)
{
    std::lock_guard lock(m_mutex);
    if (!m_db || address.empty())
        return std::nullopt;
    Statement st(m_db, "SELECT id, name, date, score FROM scores WHERE address = ?1 AND posted_at >= ?2"
                       " ORDER BY id DESC LIMIT 1");
    if (!st)
        return std::nullopt;
    st.bind(1, address);
    st.bind(2, timestamp(since));
    if (sqlite3_step(st.st) != SQLITE_ROW)
        return std::nullopt;
    return st.entry();
}

std::int64_t ScoreStore::rankOf(const Entry &entry, std::time_t since)
{
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return 0;
    // 0 when the entry itself was posted before `since`.
    Statement st(m_db, "SELECT CASE WHEN (SELECT posted_at FROM scores WHERE id = ?3) >= ?1 THEN COUNT(*) + 1"
                       " ELSE 0 END FROM scores WHERE posted_at >= ?1 AND (score > ?2 OR (score = ?2 AND id < ?3))");
    if (!st)
        return 0;
    st.bind(1, since > 0 ? timestamp(since) : std::string());
    st.bind(2, std::int64_t(entry.score));
    st.bind(3, entry.id);
    return sqlite3_step(st.st) == SQLITE_ROW ? sqlite3_column_int64(st.st, 0) : 0;
}

std::int64_t ScoreStore::count()
{
    std::lock_guard lock(m_mutex);
    if (!m_db)
        return 0;
    Statement st(m_db, "SELECT COUNT(*) FROM scores");
    return st && sqlite3_step(st.st) == SQLITE_ROW ? sqlite3_column_int64(st.st, 0) : 0;
}
