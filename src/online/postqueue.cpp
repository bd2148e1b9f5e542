#include "online/postqueue.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

PostQueue::PostQueue(QString file) : m_file(std::move(file))
{
    load();
}

void PostQueue::load()
{
    m_posts.clear();
    QFile f(m_file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileBytes)
        return;
    const QJsonArray list = QJsonDocument::fromJson(f.read(MaxFileBytes)).array();
    for (const QJsonValue &v : list) {
        const QJsonObject o = v.toObject();
        const QJsonValue name = o.value(QLatin1String("name")), date = o.value(QLatin1String("date")),
                         score = o.value(QLatin1String("score"));
        if (!name.isString() || !date.isString() || !score.isString())
            continue; // not one of ours: skipped, the rest kept
        m_posts.append({name.toString(), date.toString(), score.toString(), m_next++});
    }
    while (m_posts.size() > MaxPosts)
        m_posts.removeFirst();
}

bool PostQueue::save() const
{
    QJsonArray list;
    for (const Post &p : m_posts)
        list.append(QJsonObject{{QStringLiteral("name"), p.name},
                                {QStringLiteral("date"), p.date},
                                {QStringLiteral("score"), p.score}});
    const QByteArray bytes = QJsonDocument(list).toJson(QJsonDocument::Indented);
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

quint64 PostQueue::add(const QString &name, const QString &date, const QString &score, bool *ok)
{
    const quint64 id = m_next++;
    m_posts.append({name, date, score, id});
    while (m_posts.size() > MaxPosts)
        m_posts.removeFirst();
    const bool saved = save();
    if (ok)
        *ok = saved;
    return id;
}

bool PostQueue::remove(quint64 id)
{
    for (qsizetype i = 0; i < m_posts.size(); ++i) {
        if (m_posts[i].id == id) {
            m_posts.removeAt(i);
            return save();
        }
    }
    return true;
}
