#pragma once
#include <QList>
#include <QString>

// Score posts that have not been answered yet, kept in a small file beside the
// tally so that they survive the end of the program and can be sent again later.
// A post is added when it is sent and removed when a reply to it arrives; at most
// MaxPosts are kept, the oldest dropped first. Every change is written at once,
// atomically: the file holds either the old list or the new one.
class PostQueue
{
public:
    static constexpr int MaxPosts = 50;
    // A queue file larger than this is not read (it was not written by us).
    static constexpr qint64 MaxFileBytes = 256 * 1024;

    struct Post {
        QString name, date, score; // as in the request: the player's name, its date, its score
        quint64 id = 0;            // this run's handle of the post; not stored
    };

    // file: where the queue is kept (read here, written at every change).
    explicit PostQueue(QString file);

    // Adds a post at the end (dropping the oldest beyond MaxPosts) and writes the
    // file. Returns the post's handle; the post is kept in memory even when the
    // file could not be written (ok false then).
    quint64 add(const QString &name, const QString &date, const QString &score, bool *ok = nullptr);
    // Removes the post with this handle, if it is still there, and writes the file.
    bool remove(quint64 id);
    const QList<Post> &posts() const { return m_posts; }
    bool isEmpty() const { return m_posts.isEmpty(); }
    QString fileName() const { return m_file; }

private:
    void load();
    bool save() const;

    QString m_file;
    QList<Post> m_posts;
    quint64 m_next = 1;
};
